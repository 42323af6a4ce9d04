#include "AppIcon.h"

#include "AppIdentity.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <span>

namespace pr {

QString applicationId()
{
    return QString::fromLatin1(identity::kAppId);
}

QString applicationName()
{
    return QString::fromLatin1(identity::kAppName);
}

QString applicationVersion()
{
    return QString::fromLatin1(identity::kVersion);
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
    QCoreApplication::setOrganizationDomain(QString::fromLatin1(identity::kOrganizationDomain));
}

void setApplicationIdentity()
{
    setApplicationNames();
    // Ties the window to its installed desktop entry (Wayland app id, taskbar grouping).
    QGuiApplication::setDesktopFileName(applicationId());
    QGuiApplication::setWindowIcon(iconOfSizes(kWindowIconSizes));
}

} // namespace pr
