#include "AppIcon.h"

namespace pr {

QString applicationId()
{
    return QStringLiteral("io.github.parallel_ratio.ParallelRatio");
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : kIconSizes)
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(applicationId()),
                     QSize(size, size));
    return icon;
}

} // namespace pr
