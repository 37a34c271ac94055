#include "reports/guide_documents.h"

namespace acquenza {

namespace {

void Heading(DocumentBuilder& doc, const std::string& programName, const std::string& subtitle) {
    doc.SetFontName("Century Gothic");
    doc.SetFontSize(20);
    doc.TypeText(programName + "\r");
    doc.SetFontSize(16);
    doc.TypeText(subtitle + "\r\r\r");
}

}  // namespace

Document BuildGuidePageDocument(const std::string& programName, const std::string& subtitle,
                                const GuideText& page) {
    DocumentBuilder doc;
    Heading(doc, programName, subtitle);
    doc.TypeText("Guida: " + page.title + "\r\r");
    doc.SetFontSize(12);
    doc.TypeText(page.text + "\r");
    doc.SetAllParagraphsAlignment(Alignment::Justified);
    return doc.Finish();
}

Document BuildCompleteGuide(const std::string& programName, const std::string& subtitle,
                            const std::vector<GuideText>& pages) {
    DocumentBuilder doc;
    Heading(doc, programName, subtitle);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        doc.TypeText("Guida: " + pages[i].title + "\r\r");
        doc.SetFontSize(12);
        doc.TypeText(pages[i].text);
        if (i + 1 < pages.size()) {
            doc.TypeText("\r\f");
        }
    }
    doc.SetAllParagraphsAlignment(Alignment::Justified);
    return doc.Finish();
}

}  // namespace acquenza
