#include "AppIdentity.h"

#include <QCoreApplication>
#include <QGuiApplication>

void setApplicationIdentity()
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("vondrel"));
    QCoreApplication::setApplicationName(QStringLiteral("vondrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));
    QCoreApplication::setOrganizationName(QStringLiteral("corvane software"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.example"));
}

QString makerWebAddress()
{
    return QStringLiteral("https://corvane.example/");
}
