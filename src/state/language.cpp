#include "state/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace trovix {
namespace {

// The translators stay installed as long as the application runs.
QTranslator& programTexts() {
    static QTranslator* translator = new QTranslator(QCoreApplication::instance());
    return *translator;
}
QTranslator& qtTexts() {
    static QTranslator* translator = new QTranslator(QCoreApplication::instance());
    return *translator;
}

// Under the "C" locale, which names no language, numbers read as the source texts write them:
// "1000000", not Qt's "1,000,000".
void plainNumbersUnderC() {
    if (QLocale::system().language() == QLocale::C) {
        QLocale plain = QLocale::c();
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        QLocale::setDefault(plain);
    }
}

}  // namespace

void loadEnglishPluralForms() {
    plainNumbersUnderC();
    auto* english = new QTranslator(QCoreApplication::instance());
    if (english->load(QStringLiteral(":/i18n/trovix_en.qm"))) {
        QCoreApplication::installTranslator(english);
    }
}

QString loadTranslations(const QLocale& locale) {
    plainNumbersUnderC();
    QCoreApplication::removeTranslator(&programTexts());
    QCoreApplication::removeTranslator(&qtTexts());
    if (!programTexts().load(locale, QStringLiteral("trovix"), QStringLiteral("_"),
                             QStringLiteral(":/i18n"))) {
        return {};
    }
    QCoreApplication::installTranslator(&programTexts());
    if (qtTexts().load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts());
    }
    return programTexts().language();
}

bool loadTranslationFile(const QString& path) {
    QCoreApplication::removeTranslator(&programTexts());
    if (!programTexts().load(path)) {
        return false;
    }
    QCoreApplication::installTranslator(&programTexts());
    return true;
}

}  // namespace trovix
