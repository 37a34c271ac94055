#pragma once
// Documents go to the user's documents folder and open in the desktop's
// default application for .docx files.

#include "app/document_desk.h"

namespace acquenza::ui {

class QtDocumentDesk final : public DocumentDesk {
  public:
    std::filesystem::path DocumentsFolder() override;
    std::string Timestamp() override;
    bool Open(const std::filesystem::path& file) override;
};

}  // namespace acquenza::ui
