// The report forms' frame in real widgets, in each interface language that the client
// configuration chooses: the widgets show the language packs' and the conversion's texts,
// and a picture per language is written to the build folder for people to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>

#include "BaseGene.h"
#include "DynLib.h"
#include "FormTestKit.h"
#include "Gallery.h"
#include "QtConvert.h"
#include "QtTextService.h"
#include "QtView.h"
#include "TempInstallation.h"

namespace {

class TfrmFrameGene : public TfrmBaseGene {
  KXBR_CLASS(TfrmFrameGene, TfrmBaseGene)

 public:
  using TfrmBaseGene::TfrmBaseGene;
  bool InitParams(const Variant&) override { return true; }
  void ExternalCall(const Variant&) override {}
};

}  // namespace

KXBR_DEFINE_CLASS(TfrmFrameGene, )

class FrameTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    SetModuleSearchFolder(KXBR_MODULE_DIR);
    SetTextService(&text);
    install.InstallSamplePacks();
  }
  void TearDown() override {
    view.reset();
    SetTextService(nullptr);
    SetModuleSearchFolder("");
    VclTest::TearDown();
  }
  TempInstallation install{"936"};
  TQtTextService text;
  std::unique_ptr<TQtView> view = std::make_unique<TQtView>();
};

TEST_F(FrameTest, TheFrameIsPicturedInEachInterfaceLanguage) {
  struct Case {
    const char* uiCodePage;
    const char* file;
    const char* ok;
  };
  for (const Case& c :
       {Case{"936", "frame-simplified.png", "确定"}, Case{"950", "frame-traditional.png", "確定"},
        Case{"437", "frame-english.png", "OK"}}) {
    SCOPED_TRACE(c.uiCodePage);
    install.WriteClientIni(c.uiCodePage, "936");
    TOwned<TfrmFrameGene> form(CreateForm<TfrmFrameGene>(nullptr));
    form->SetCaption("KXBR07");
    form->Show();
    QApplication::processEvents();
    auto* ok = qobject_cast<QPushButton*>(view->WidgetOf(form->btnOk));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), ToQString(c.ok));
    ASSERT_TRUE(SaveFormPicture(*view, form.get(), c.file));
    const QImage picture(QString::fromStdString(c.file));
    EXPECT_EQ(picture.size(), QSize(form->ClientWidth(), form->ClientHeight()));
  }
}
