#include "AppIcon.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <span>

namespace pr {

QString applicationId()
{
    return QStringLiteral("io.github.parallel_ratio.ParallelRatio");
}

QString applicationName()
{
    return QStringLiteral("parallel-ratio");
}

QString applicationVersion()
{
    return QStringLiteral(PR_VERSION);
}

namespace {

QIcon iconOfSizes(std::span<const int> sizes)
{
    QIcon icon;
    for (int size : sizes)
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(applicationId()),
                     QSize(size, size));
    return icon;
}

} // namespace

QIcon applicationIcon()
{
    return iconOfSizes(kIconSizes);
}

void setApplicationNames()
{
    QCoreApplication::setApplicationName(applicationName());
    QCoreApplication::setApplicationVersion(applicationVersion());
    QCoreApplication::setOrganizationName(applicationName());
    QCoreApplication::setOrganizationDomain(QStringLiteral("parallel_ratio.github.io"));
}

void setApplicationIdentity()
{
    setApplicationNames();
    // Ties the window to its installed desktop entry (Wayland app id, taskbar grouping).
    QGuiApplication::setDesktopFileName(applicationId());
    QGuiApplication::setWindowIcon(iconOfSizes(kWindowIconSizes));
}

} // namespace pr
