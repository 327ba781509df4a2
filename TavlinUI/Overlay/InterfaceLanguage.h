#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>

namespace tavlin {

// The language of Tavlin's own texts. They are written in Japanese and shown as
// written under a Japanese locale; every other language comes from a Qt Linguist
// catalogue built into the program (translations/tavlin_<language>.ts), English
// for locales that have none.
class InterfaceLanguage {
public:
    static constexpr const char* sourceLanguage = "ja";
    static constexpr const char* fallbackLanguage = "en";

    // The languages the program speaks: its source language and one per catalogue.
    static QStringList spoken();
    // The first of the locale's languages that the program speaks, else English.
    static QString choose(const QLocale& locale);

    // Installs the program's catalogue for `language` and Qt's own (key names, for
    // one), for as long as this object lives. `metaKeyName` is the desktop's word for
    // the key that Qt calls Meta: "Super" on most desktops, "Meta" on KDE's.
    explicit InterfaceLanguage(const QString& language, const QString& metaKeyName = QStringLiteral("Super"));
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

    const QString& language() const { return language_; }
    // Whether the program's catalogue for the language was found (always for Japanese).
    bool hasCatalogue() const { return hasCatalogue_; }

private:
    QString language_;
    bool hasCatalogue_ = false;
    QTranslator qt_;
    QTranslator own_;
    std::unique_ptr<QTranslator> metaKey_;
};

} // namespace tavlin
