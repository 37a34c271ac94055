#pragma once
// The maker's other programs, read from "ProdottiVerdano.txt" beside the
// program when there is one.

#include <QWidget>
#include <filesystem>

namespace acquenza::ui {

class CatalogueWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CatalogueWindow(const std::filesystem::path& programFolder);
};

}  // namespace acquenza::ui
