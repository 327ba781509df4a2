#include "TavlinUI/Overlay/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace tavlin {
namespace {

const QString catalogueDirectory = QStringLiteral(":/i18n");
const QString cataloguePrefix = QStringLiteral("tavlin_");

// Qt writes the Super key as "Meta"; this gives it the desktop's own word.
class MetaKeyName : public QTranslator {
public:
    explicit MetaKeyName(QString name) : name_(std::move(name)) {}
    QString translate(const char* context, const char* source, const char*, int) const override {
        return qstrcmp(context, "QShortcut") == 0 && qstrcmp(source, "Meta") == 0 ? name_ : QString();
    }
    bool isEmpty() const override { return false; }

private:
    QString name_;
};

} // namespace

QStringList InterfaceLanguage::spoken() {
    QStringList languages{QString::fromLatin1(sourceLanguage)};
    const QStringList files = QDir(catalogueDirectory).entryList({cataloguePrefix + QStringLiteral("*.qm")}, QDir::Files);
    for (const QString& file : files) languages.append(file.mid(cataloguePrefix.size()).chopped(3));
    return languages;
}

QString InterfaceLanguage::choose(const QLocale& locale) {
    const QStringList languages = spoken();
    for (const QString& name : locale.uiLanguages()) {
        const QString code = QLocale::languageToCode(QLocale(name).language());
        if (languages.contains(code)) return code;
    }
    return QString::fromLatin1(fallbackLanguage);
}

InterfaceLanguage::InterfaceLanguage(const QString& language, const QString& metaKeyName) : language_(language) {
    if (qt_.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_);
    if (language == QLatin1String(sourceLanguage)) {
        hasCatalogue_ = true;
    } else if (own_.load(cataloguePrefix + language, catalogueDirectory)) {
        hasCatalogue_ = true;
        QCoreApplication::installTranslator(&own_);
    }
    // Installed last, so that it is asked first.
    if (metaKeyName != QLatin1String("Meta")) {
        metaKey_ = std::make_unique<MetaKeyName>(metaKeyName);
        QCoreApplication::installTranslator(metaKey_.get());
    }
}

InterfaceLanguage::~InterfaceLanguage() {
    if (metaKey_) QCoreApplication::removeTranslator(metaKey_.get());
    QCoreApplication::removeTranslator(&own_);
    QCoreApplication::removeTranslator(&qt_);
}

} // namespace tavlin
