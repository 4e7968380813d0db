#include "app/FontDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmor {

FontDialog::FontDialog(QWidget* parent)
    : QDialog(parent), m_panel(new QFontDialog(this)), m_colorButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("字体对话框"));
    setWindowTitle(QStringLiteral("字体"));
    setWindowModality(Qt::ApplicationModal);

    // The panel is Qt's own font dialog shown as a plain widget, its buttons replaced by ours.
    m_panel->setObjectName(QStringLiteral("字体"));
    m_panel->setWindowFlags(Qt::Widget);
    m_panel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    // Enter and Escape inside the panel end the whole dialog, not just the panel.
    connect(m_panel, &QDialog::accepted, this, &QDialog::accept);
    connect(m_panel, &QDialog::rejected, this, &QDialog::reject);

    auto* colorLabel = new QLabel(QStringLiteral("颜色(&C)："), this);
    colorLabel->setBuddy(m_colorButton);
    m_colorButton->setObjectName(QStringLiteral("按钮_颜色"));
    m_colorButton->setMinimumWidth(80);
    connect(m_colorButton, &QPushButton::clicked, this, &FontDialog::ChooseColor);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("按钮"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    m_panel->show();
    ShowColor();
}

void FontDialog::SetCurrentFont(const QFont& font) {
    m_panel->setCurrentFont(font);
}

QFont FontDialog::CurrentFont() const {
    return m_panel->currentFont();
}

void FontDialog::SetCurrentColor(const QColor& color) {
    m_color = color;
    ShowColor();
}

void FontDialog::ChooseColor() {
    const QColor chosen = QColorDialog::getColor(m_color, this, QStringLiteral("颜色"));
    if (chosen.isValid()) {
        SetCurrentColor(chosen);
    }
}

void FontDialog::ShowColor() {
    m_colorButton->setText(m_color.name(QColor::HexRgb).toUpper());
    m_colorButton->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; }")
                                     .arg(m_color.name(), m_color.lightness() < 128
                                                              ? QStringLiteral("white")
                                                              : QStringLiteral("black")));
}

}  // namespace velmor
