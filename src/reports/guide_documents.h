#pragma once
// The guide in print: one page of it, or all seven pages in one document.

#include <string>
#include <utility>
#include <vector>

#include "reports/document_model.h"

namespace acquenza {

struct GuideText {
    std::string title;
    std::string text;
};

Document BuildGuidePageDocument(const std::string& programName, const std::string& subtitle,
                                const GuideText& page);

// Each page after the first starts on a new sheet; only the first heading is
// in the large size.
Document BuildCompleteGuide(const std::string& programName, const std::string& subtitle,
                            const std::vector<GuideText>& pages);

}  // namespace acquenza
