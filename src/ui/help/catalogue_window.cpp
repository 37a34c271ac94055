#include "ui/help/catalogue_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>

#include "archive/cp1252.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

namespace {

// Shown when neither the settings nor a products file list anything.
const char* const NoCatalogue =
    "Nessun altro prodotto è elencato per questa installazione: per informazioni rivolgersi a "
    "chi ha installato il programma (menu ?, Supporto prodotto).";

QString CatalogueText(const std::vector<std::string>& products,
                      const std::filesystem::path& folder) {
    if (!products.empty()) {
        QStringList lines;
        for (const std::string& product : products) {
            lines << QStringLiteral("- ") + QString::fromStdString(product);
        }
        return lines.join(QLatin1Char('\n'));
    }
    std::ifstream in(folder / "ProdottiVerdano.txt", std::ios::binary);
    if (!in) {
        return QString::fromUtf8(NoCatalogue);
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string text;
    for (const char c : bytes) {
        if (c != '\r') {
            text += c;
        }
    }
    return QString::fromStdString(Cp1252ToUtf8(text));
}

}  // namespace

CatalogueWindow::CatalogueWindow(const std::vector<std::string>& products,
                                 const std::filesystem::path& programFolder) {
    setObjectName(QStringLiteral("prodotti"));
    setWindowTitle(QStringLiteral("Altri prodotti"));
    SetBackground(this, QColor(235, 244, 250));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(CatalogueText(products, programFolder), this);
    text->setObjectName(QStringLiteral("catalogo"));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(460, 280);
}

}  // namespace acquenza::ui
