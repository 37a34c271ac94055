#pragma once
// Other programs: those the settings file lists, else those of
// "ProdottiVerdano.txt" beside the program, else a plain line saying there
// are none.

#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

namespace acquenza::ui {

class CatalogueWindow : public QWidget {
    Q_OBJECT
  public:
    CatalogueWindow(const std::vector<std::string>& products,
                    const std::filesystem::path& programFolder);
};

}  // namespace acquenza::ui
