#include "qttranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installDutchQtTranslations(QCoreApplication& application)
{
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    const QString folders[] = { QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")) };
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(dutch, QStringLiteral("qtbase"), QStringLiteral("_"), folder)
            && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}
