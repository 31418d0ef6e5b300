// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace td {

namespace {
// Owned by the application object, which may be gone (and another one made)
// by the time they are replaced.
QPointer<QTranslator> ours;
QPointer<QTranslator> qts;
} // namespace

QString installTranslations(const QLocale& locale)
{
    removeTranslations();
    QLocale::setDefault(locale);
    ours = new QTranslator(QCoreApplication::instance());
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    const QString prefix = QStringLiteral("tidra");
    const QString separator = QStringLiteral("_");
    bool found = false;
    for (const QString& folder : {beside, QStringLiteral(":/i18n")})
        if ((found = ours->load(locale, prefix, separator, folder)))
            break;
    if (!found)
        for (const QString& folder : {beside, QStringLiteral(":/i18n")})
            if ((found = ours->load(prefix + separator + QStringLiteral("en"), folder)))
                break;
    if (found)
        QCoreApplication::installTranslator(ours);
    qts = new QTranslator(QCoreApplication::instance());
    if (qts->load(locale, QStringLiteral("qtbase"), separator,
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qts);
    return found ? ours->language().section(QLatin1Char('_'), 0, 0) : QString();
}

void removeTranslations()
{
    for (QPointer<QTranslator>* t : {&ours, &qts}) {
        if (!*t)
            continue;
        QCoreApplication::removeTranslator(*t);
        delete t->data();
    }
}

} // namespace td
