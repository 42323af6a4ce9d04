#include "AccessibleSurface.h"

#include "SurfaceWidget.h"

#include <QtWidgets/QAccessibleWidget>

namespace pr {

namespace {

QAccessibleInterface *surfaceInterface(const QString &className, QObject *object)
{
    if (className != QLatin1String(SurfaceWidget::staticMetaObject.className()))
        return nullptr;
    auto *surface = qobject_cast<SurfaceWidget *>(object);
    return surface ? new QAccessibleWidget(surface, QAccessible::Graphic) : nullptr;
}

} // namespace

void installAccessibleSurface()
{
    static const bool installed = [] {
        QAccessible::installFactory(surfaceInterface);
        return true;
    }();
    (void)installed;
}

} // namespace pr
