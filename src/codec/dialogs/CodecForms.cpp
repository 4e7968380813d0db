#include "app/FormDialog.h"
#include "codec/CodecDialog.h"
#include "ui_CodecDialog.h"

namespace velmor {

void RegisterCodecForms(DialogHost& host) {
    RegisterForm<Ui::CodecDialog>(host, "编码/解码", CodecDialog());
}

}  // namespace velmor
