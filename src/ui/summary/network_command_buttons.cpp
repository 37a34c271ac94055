#include "ui/summary/network_command_buttons.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QPushButton>
#include <memory>

#include "app/companion_folder.h"
#include "app/network_window_commands.h"
#include "core/pipe_catalogue.h"

namespace acquenza::ui {

void AddNetworkCommandButtons(QWidget* window, QBoxLayout* buttons, ProgramState& state,
                              Dialogs& dialogs, std::function<void()> changed,
                              std::function<std::string()> projectName) {
    const std::filesystem::path catalogues =
        CompanionFolder(QCoreApplication::applicationDirPath().toStdString()) / CatalogueFolderName;
    auto commands = std::make_shared<NetworkWindowCommands>(state, dialogs, catalogues);
    const auto add = [&](const char* text, const char* name, const char* tip,
                         std::function<void()> act) {
        auto* button = new QPushButton(QString::fromUtf8(text), window);
        button->setObjectName(QString::fromUtf8(name));
        button->setToolTip(QString::fromUtf8(tip));
        QObject::connect(button, &QPushButton::clicked, window, std::move(act));
        buttons->addWidget(button);
    };
    add("&Dimensiona la rete", "dimensionarete",
        "ogni tronco collegato dimensionato dal carico alla sorgente (percorso più sfavorevole)",
        [commands, changed] {
            if (commands->SizeNetwork(false) && changed) {
                changed();
            }
        });
    add("&Riduci il costo", "riducicosto",
        "dimensiona la rete, poi riduce le misure dove le pressioni lo permettono",
        [commands, changed] {
            if (commands->SizeNetwork(true) && changed) {
                changed();
            }
        });
    add("Esporta per &EPANET...", "esportaepanet", "la rete come file .inp di EPANET 2.2",
        [commands, projectName] { commands->ExportEpanet(projectName ? projectName() : ""); });
    add("&Importa da EPANET...", "importaepanet",
        "una rete ramificata di EPANET salvata come nuovo progetto",
        [commands] { commands->ImportEpanet(); });
}

}  // namespace acquenza::ui
