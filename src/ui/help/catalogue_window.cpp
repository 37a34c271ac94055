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

const char* const FixedCatalogue =
    "Software Verdano realizza programmi per gli studi tecnici:\n\n"
    "- Acquenza: calcoli idraulici per tronchi di condotte idriche;\n"
    "- Fognenza: dimensionamento delle reti di fognatura;\n"
    "- Murenza: verifica dei muri di sostegno;\n"
    "- Computenza: computi metrici e stime dei lavori.\n\n"
    "Per informazioni e listino aggiornato: consultare il servizio di supporto "
    "(menu ?, Supporto prodotto).";

QString CatalogueText(const std::filesystem::path& folder) {
    std::ifstream in(folder / "ProdottiVerdano.txt", std::ios::binary);
    if (!in) {
        return QString::fromUtf8(FixedCatalogue);
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

CatalogueWindow::CatalogueWindow(const std::filesystem::path& programFolder) {
    setObjectName(QStringLiteral("prodotti"));
    setWindowTitle(QStringLiteral("Altri prodotti Software Verdano"));
    SetBackground(this, QColor(235, 244, 250));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(CatalogueText(programFolder), this);
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
