#include "BaseGene.h"

#include "TypInfo.h"

KXBR_DEFINE_CLASS(TfrmBaseGene, .Method<&TfrmBaseGene::FormShow>("FormShow")
                                    .Field<&TfrmBaseGene::pnlCondition>("pnlCondition")
                                    .Field<&TfrmBaseGene::lblCondition>("lblCondition")
                                    .Field<&TfrmBaseGene::ToolBar1>("ToolBar1")
                                    .Field<&TfrmBaseGene::btnInsert>("btnInsert")
                                    .Field<&TfrmBaseGene::btnOpen>("btnOpen")
                                    .Field<&TfrmBaseGene::btnDelete>("btnDelete")
                                    .Field<&TfrmBaseGene::ToolButton1>("ToolButton1")
                                    .Field<&TfrmBaseGene::lstCondition>("lstCondition")
                                    .Field<&TfrmBaseGene::Splitter1>("Splitter1")
                                    .Field<&TfrmBaseGene::pgOption>("pgOption")
                                    .Field<&TfrmBaseGene::tsOption1>("tsOption1")
                                    .Field<&TfrmBaseGene::tsOption2>("tsOption2")
                                    .Field<&TfrmBaseGene::lblToday>("lblToday")
                                    .Field<&TfrmBaseGene::edPrintDate>("edPrintDate")
                                    .Field<&TfrmBaseGene::btnPrintDate>("btnPrintDate")
                                    .Field<&TfrmBaseGene::Panel1>("Panel1")
                                    .Field<&TfrmBaseGene::btnOk>("btnOk")
                                    .Field<&TfrmBaseGene::btnCancel>("btnCancel")
                                    .Field<&TfrmBaseGene::muOperation>("muOperation")
                                    .Field<&TfrmBaseGene::N2>("N2")
                                    .Field<&TfrmBaseGene::N3>("N3")
                                    .Field<&TfrmBaseGene::mnList>("mnList")
                                    .Field<&TfrmBaseGene::N7>("N7")
                                    .Field<&TfrmBaseGene::N8>("N8")
                                    .Field<&TfrmBaseGene::N9>("N9")
                                    .Field<&TfrmBaseGene::N10>("N10")
                                    .Field<&TfrmBaseGene::ImageList1>("ImageList1")
                                    .Field<&TfrmBaseGene::ImageList2>("ImageList2")
                                    .Field<&TfrmBaseGene::MainMidas>("MainMidas")
                                    .Field<&TfrmBaseGene::ObjBroker>("ObjBroker")
                                    .Field<&TfrmBaseGene::ClientDataSet1>("ClientDataSet1"))

TfrmBaseGene::TfrmBaseGene(TComponent* owner) : TQMForm(owner) {}

void TfrmBaseGene::FormShow(TObject* sender) {
  TQMForm::FormShow(sender);
  if (pgOption != nullptr && pgOption->PageCount() > 0) pgOption->SetActivePage(pgOption->Pages(0));
  ConvertForm();
}

void TfrmBaseGene::DoClose(TCloseAction& action) {
  action = caFree;
  TQMForm::DoClose(action);
}
