// The three help windows on the offscreen platform: the tips paged through
// their buttons, the about and support texts, OK hiding rather than closing,
// and every text fitting the box it is given.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QSysInfo>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/guide_pages.h"
#include "app/program_values.h"
#include "ui/help/about_window.h"
#include "ui/help/guide_page_window.h"
#include "ui/help/help_contents_window.h"
#include "ui/help/support_window.h"
#include "ui/help/tip_window.h"

namespace acquenza::ui {
namespace {

const QString SupportRules = QStringLiteral(
    "I clienti possono inviare fax o e-mail per avere delucidazioni su elementi inerenti il "
    "programma illustrando in modo chiaro le problematiche da risolvere. I chiarimenti telefonici "
    "devono riguardare situazioni che possono ottenere una risposta solo verbale. In questo caso "
    "va indicato con precisione il punto del programma che non funziona o che non appare "
    "comprensibile. La linea telefonica è a disposizione dalle 9,30 alle 13,00 e dalle 15,00 alle "
    "18,00 di tutti i giorni dal lunedì al venerdì escluso i festivi.");

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString Text(QWidget* window, const char* name) {
    QLabel* label = Find<QLabel>(window, name);
    return label == nullptr ? QString() : label->text();
}

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QPushButton>(window, name), Qt::LeftButton);
}

// Every label with text shows all of it inside its own box.
void ExpectLabelsFit(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        EXPECT_LE(needed, label->height()) << label->objectName().toStdString();
        if (!label->wordWrap()) {
            EXPECT_LE(label->sizeHint().width(), label->width())
                << label->objectName().toStdString();
        }
    }
}

class TipFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("acquenza-tipwindow-" + std::to_string(::getpid()) + "-" + test->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
};

TEST_F(TipFolder, TipWindowPagesAndHidesKeepingTheTip) {
    std::ofstream(folder / TipsFileName, std::ios::binary)
        << "Il primo\r\nIl secondo \xE8 qui\r\nIl terzo\r\n";
    TipWindow window(folder);
    EXPECT_EQ(window.objectName(), "frmTip");
    EXPECT_EQ(window.windowTitle(), "Suggerimento del giorno");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(Text(&window, "Label1"), "Non tutti sanno che...");
    EXPECT_TRUE(Find<QLabel>(&window, "lblTipText")->wordWrap());
    EXPECT_FALSE(Find<QLabel>(&window, "Picture1")->pixmap().isNull());
    EXPECT_EQ(Find<QPushButton>(&window, "cmdprecedente")->text(), "&Precedente");
    EXPECT_EQ(Find<QPushButton>(&window, "cmdNextTip")->text(), "&Successivo");
    EXPECT_EQ(Find<QPushButton>(&window, "cmdOK")->text(), "&Chiudi");

    window.show();
    EXPECT_EQ(Text(&window, "lblTipText"), "Il primo");
    Click(&window, "cmdNextTip");
    Click(&window, "cmdNextTip");
    Click(&window, "cmdprecedente");
    EXPECT_EQ(Text(&window, "lblTipText"), QStringLiteral("Il secondo è qui"));

    // Chiudi hides; the file is not read again when the window comes back.
    std::filesystem::remove(folder / TipsFileName);
    Click(&window, "cmdOK");
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Text(&window, "lblTipText"), QStringLiteral("Il secondo è qui"));
    Click(&window, "cmdNextTip");
    EXPECT_EQ(Text(&window, "lblTipText"), "Il terzo");
}

TEST_F(TipFolder, TipWindowWithoutTheFileShowsHowToMakeIt) {
    TipWindow window(folder);
    const QString text = Text(&window, "lblTipText");
    EXPECT_TRUE(text.startsWith("Impossibile trovare il file SuggerimentiAcquenza.TXT\n\nCreare"))
        << text.toStdString();
    EXPECT_FALSE(text.contains('\r'));
    ExpectLabelsFit(&window);
}

TEST(HelpWindows, AboutShowsTheProgramValues) {
    ProgramValues values;
    InitProgramValues(values);
    AboutWindow window(values);
    EXPECT_EQ(window.objectName(), "informa");
    EXPECT_EQ(window.windowTitle(), "Informazioni su Acquenza");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(Text(&window, "Label1"), "Acquenza");
    EXPECT_EQ(Text(&window, "Label2"), "calcoli idraulici per tronchi di condotte idriche");
    EXPECT_EQ(Text(&window, "Label6"), "edizione professionale - versione 3.04.05   1999- 2011");
    // The platform is the one the program runs on, as the system names it.
    const QString platform = Find<QLabel>(&window, "Label5")->toolTip();
#ifdef Q_OS_LINUX
    EXPECT_TRUE(Text(&window, "Label5").startsWith("per sistemi Linux a "))
        << platform.toStdString();
#endif
    EXPECT_TRUE(platform.contains(QSysInfo::prettyProductName())) << platform.toStdString();
    EXPECT_EQ(Text(&window, "Label5"), platform);  // nothing cut on this system
    EXPECT_EQ(Text(&window, "Label3"), "software VERDANO");
    EXPECT_TRUE(Text(&window, "label7").contains("Internet"));
    EXPECT_FALSE(Text(&window, "Label4").isEmpty());
    for (const char* rule : {"Line1", "Line2", "Line3"}) {
        Find<QWidget>(&window, rule);
    }
    EXPECT_GT(Find<QLabel>(&window, "Label1")->font().pointSize(),
              Find<QLabel>(&window, "Label2")->font().pointSize());

    values.ProgramName = "Altro";
    AboutWindow other(values);
    EXPECT_EQ(other.windowTitle(), "Informazioni su Altro");
    EXPECT_EQ(Text(&other, "Label1"), "Altro");
}

TEST(HelpWindows, SupportShowsTheContactsTheSettingsGiveAndInventsNone) {
    SupportContacts contacts;
    contacts.postalAddress = "Via Roma 1 - 06100 Perugia";
    contacts.phone = "075 123456";
    contacts.email = "assistenza@studio.it";
    contacts.web = "www.studio.it";
    contacts.contact = "ing. Maria Bianchi";
    SupportWindow window(contacts);
    EXPECT_EQ(window.objectName(), "supportoclienti");
    EXPECT_EQ(window.windowTitle(), "Servizi di supporto ai clienti");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(Text(&window, "Label1"), "software VERDANO");
    EXPECT_EQ(Text(&window, "Label6"), "dal 1982");
    EXPECT_EQ(Text(&window, "Label2"), "Via Roma 1 - 06100 Perugia\ntelefono 075 123456");
    EXPECT_EQ(Text(&window, "Label9"), "assistenza@studio.it");
    EXPECT_EQ(Text(&window, "Label10"), "www.studio.it");
    EXPECT_EQ(Text(&window, "Label4"), SupportRules);
    EXPECT_TRUE(Text(&window, "Label5").contains("ing. Maria Bianchi"));
    ExpectLabelsFit(&window);

    // Nothing set: no number, address or name of anybody, and the way to
    // the README instead.
    SupportWindow plain{SupportContacts{}};
    for (QLabel* label : plain.findChildren<QLabel*>()) {
        if (label->objectName() != "Label6") {  // "dal 1982"
            EXPECT_FALSE(label->text().contains(QRegularExpression("[0-9]{3}|@|www")))
                << label->text().toStdString();
        }
    }
    EXPECT_TRUE(Text(&plain, "Label2").contains("chi lo ha installato"));
    EXPECT_TRUE(Text(&plain, "Label2").contains("README"));
    ExpectLabelsFit(&plain);
}

TEST(HelpWindows, OkHidesAboutAndSupport) {
    ProgramValues values;
    InitProgramValues(values);
    AboutWindow about(values);
    SupportWindow support{SupportContacts{}};
    about.show();
    support.show();
    Click(&about, "cmdOK");
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(support.isVisible());
    Click(&support, "Command1");
    EXPECT_FALSE(support.isVisible());
    about.show();
    EXPECT_EQ(Text(&about, "Label1"), "Acquenza");
}

TEST(HelpWindows, TipAboutAndSupportTextsFitTheirBoxes) {
    ProgramValues values;
    InitProgramValues(values);
    AboutWindow about(values);
    ExpectLabelsFit(&about);

    // Each tip shipped with the program, in the tip area.
    const std::filesystem::path resources = ACQUENZA_RESOURCES_DIR;
    ASSERT_TRUE(std::filesystem::exists(resources / TipsFileName));
    TipWindow tips(resources);
    ASSERT_GE(tips.Model().TipCount(), 10);
    for (int i = 1; i <= tips.Model().TipCount(); ++i) {
        SCOPED_TRACE(tips.Model().TipText());
        ExpectLabelsFit(&tips);
        Click(&tips, "cmdNextTip");
    }
}

TEST(HelpWindows, EveryTopicOfTheContentsFitsItsBoxEvenInBold) {
    HelpContentsWindow contents({[](WindowId) {}, [] {}, [] {}});
    for (QLabel* label : contents.findChildren<QLabel*>(QRegularExpression("^lbl_"))) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }
    ExpectLabelsFit(&contents);
}

// Every button shows its caption whole, and no control reaches past the
// window's edge.
void ExpectButtonsFit(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QFontMetrics metrics(button->font());
        const QString caption = QString(button->text()).remove(u'&');
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        EXPECT_LE(metrics.horizontalAdvance(caption) + 2 * margin, button->width());
        EXPECT_LE(metrics.height() + 2 * frame, button->height());
    }
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(window->rect().contains(control->geometry()))
            << control->objectName().toStdString();
    }
}

// The guide's windows at the size they open with, at the size the resizer
// gives them on this screen and at the whole screen, and made as small as
// the user can make them: fonts keep their size while the boxes follow the
// window, so every size is measured with the fonts on this machine.
TEST(HelpWindows, GuidePagesAndContentsFitAtEverySize) {
    std::vector<std::unique_ptr<QWidget>> windows;
    for (const GuidePage& page : GuidePages()) {
        windows.push_back(std::make_unique<GuidePageWindow>(
            page, GuidePageWindow::Actions{[](WindowId) {}, [] {}}));
    }
    windows.push_back(std::make_unique<HelpContentsWindow>(
        HelpContentsWindow::Actions{[](WindowId) {}, [] {}, [] {}}));
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    for (const auto& window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        QApplication::processEvents();
        const QSize design = window->size();
        const QSize sizes[] = {design, screen * 0.75, screen, QSize(1, 1), design};
        for (const QSize& size : sizes) {
            window->resize(size);
            QApplication::processEvents();
            SCOPED_TRACE(::testing::Message() << window->width() << " x " << window->height());
            EXPECT_GE(window->width(), design.width());
            EXPECT_GE(window->height(), design.height());
            ExpectLabelsFit(window.get());
            ExpectButtonsFit(window.get());
        }
        EXPECT_EQ(window->size(), design);
    }
}

}  // namespace
}  // namespace acquenza::ui
