#pragma once

class QCoreApplication;
class QTranslator;

namespace velmor {

// Loads Qt's own zh_CN translations (the file, message-box, font and print dialogs) into app,
// whatever the system locale, so that the standard dialogs speak Chinese like the rest of the
// program, and makes zh_CN the default locale. The translator is owned by app (deleting it
// uninstalls it); null when the translations are not installed, and the dialogs then stay
// in English.
QTranslator* InstallQtChineseTranslations(QCoreApplication& app);

}  // namespace velmor
