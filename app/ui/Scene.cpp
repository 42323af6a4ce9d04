#include "Scene.h"

#include "app/Form1.h"

namespace pr {

Scene Scene::capture(const Form1 &f)
{
    return {f.Line1, f.Line2, f.Line3, f.Line4, f.Label2, f.Label3, f.Image1, f.Shape1};
}

const Line *Scene::line(ElementRef r) const
{
    switch (r.kind) {
    case ElementKind::Line1:
        return &Line1[r.index];
    case ElementKind::Line2:
        return &Line2[r.index];
    case ElementKind::Line3:
        return &Line3[r.index];
    case ElementKind::Line4:
        return &Line4[r.index];
    default:
        return nullptr;
    }
}

const Label *Scene::label(ElementRef r) const
{
    switch (r.kind) {
    case ElementKind::Label2:
        return &Label2[r.index];
    case ElementKind::Label3:
        return &Label3[r.index];
    default:
        return nullptr;
    }
}

const Image *Scene::image(ElementRef r) const
{
    return r.kind == ElementKind::Image1 ? &Image1[r.index] : nullptr;
}

bool Scene::sameElement(const Scene &other, ElementRef r) const
{
    if (const Line *l = line(r))
        return *l == *other.line(r);
    if (const Label *l = label(r))
        return *l == *other.label(r);
    if (const Image *i = image(r))
        return *i == *other.image(r);
    return Shape1 == other.Shape1;
}

} // namespace pr
