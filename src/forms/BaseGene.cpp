#include "BaseGene.h"

#include "TypInfo.h"

KXBR_DEFINE_CLASS(TfrmBaseGene, )

TfrmBaseGene::TfrmBaseGene(TComponent* owner) : TForm(owner) {}

void TfrmBaseGene::DoClose(TCloseAction& action) {
  action = caFree;
  TForm::DoClose(action);
}
