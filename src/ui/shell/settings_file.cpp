#include "ui/shell/settings_file.h"

#include <QCollator>
#include <QSettings>
#include <QStringList>
#include <algorithm>

namespace acquenza::ui {

namespace {

// An INI value with a comma comes back as a list, its pieces trimmed; an
// office address usually has one, written as a comma and a blank, and that
// is how the pieces are joined again. A value in double quotes stays exact.
std::string Text(const QSettings& file, const QString& key, const std::string& fallback) {
    const QVariant value = file.value(key);
    if (!value.isValid()) {
        return fallback;
    }
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QStringLiteral(", "))
                             : value.toString();
    return text.trimmed().toStdString();
}

double Number(const QSettings& file, const QString& key, double fallback) {
    bool ok = false;
    // Offices write "0,5" as readily as "0.5".
    const double value = file.value(key)
                             .toString()
                             .trimmed()
                             .replace(QLatin1Char(','), QLatin1Char('.'))
                             .toDouble(&ok);
    return ok && value >= 0 ? value : fallback;
}

}  // namespace

Settings ReadSettings(Settings defaults) {
    QSettings file(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Acquenza"),
                   QStringLiteral("acquenza"));
    Settings s = std::move(defaults);
    s.officeName = Text(file, QStringLiteral("ufficio/nome"), s.officeName);
    s.officeAddress = Text(file, QStringLiteral("ufficio/indirizzo"), s.officeAddress);

    SupportContacts& c = s.support;
    c.postalAddress = Text(file, QStringLiteral("assistenza/indirizzo"), c.postalAddress);
    c.phone = Text(file, QStringLiteral("assistenza/telefono"), c.phone);
    c.fax = Text(file, QStringLiteral("assistenza/fax"), c.fax);
    c.email = Text(file, QStringLiteral("assistenza/email"), c.email);
    c.web = Text(file, QStringLiteral("assistenza/sito"), c.web);
    c.contact = Text(file, QStringLiteral("assistenza/referente"), c.contact);

    // [prodotti] 1=..., 2=..., in the order of their numbers.
    file.beginGroup(QStringLiteral("prodotti"));
    QStringList keys = file.childKeys();
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(keys.begin(), keys.end(), numeric);
    std::vector<std::string> products;
    for (const QString& key : keys) {
        const std::string product = Text(file, key, "");
        if (!product.empty()) {
            products.push_back(product);
        }
    }
    file.endGroup();
    if (!products.empty()) {
        s.products = std::move(products);
    }

    s.velocityMin = Number(file, QStringLiteral("verifica/velocita_min"), s.velocityMin);
    s.velocityMax = Number(file, QStringLiteral("verifica/velocita_max"), s.velocityMax);
    if (s.velocityMin > s.velocityMax) {
        std::swap(s.velocityMin, s.velocityMax);
    }
    return s;
}

}  // namespace acquenza::ui
