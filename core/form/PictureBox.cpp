#include "PictureBox.h"

namespace pr {

void PictureBox::Cls()
{
    if (sink_)
        sink_->clearLayer(BackColor);
}

void PictureBox::Line(float x1, float y1, float x2, float y2, Rgb colour)
{
    if (sink_)
        sink_->drawSegment(x1, y1, x2, y2, colour, DrawWidth);
}

} // namespace pr
