#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace velmor {

// The font dialog of "&F.字体": font name, style (bold, italic), size, underline and
// strike-out from Qt's font panel, and a text colour from the colour button.
class FontDialog : public QDialog {
    Q_OBJECT

public:
    explicit FontDialog(QWidget* parent = nullptr);

    void SetCurrentFont(const QFont& font);
    QFont CurrentFont() const;
    void SetCurrentColor(const QColor& color);
    QColor CurrentColor() const { return m_color; }

private:
    void ChooseColor();
    void ShowColor();

    QFontDialog* m_panel;
    QPushButton* m_colorButton;
    QColor m_color = Qt::black;
};

}  // namespace velmor
