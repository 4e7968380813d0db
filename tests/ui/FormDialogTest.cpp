#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include "WindowCommandsTestSupport.h"
#include "app/FormDialog.h"
#include "app/FormWidgets.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

// A definition with one control of each kind the binder shows, and handlers that write back
// into other fields and into the document.
const DialogDefinition& SampleDialog() {
    static const DialogDefinition definition = [] {
        DialogDefinition d;
        d.title = "样例";
        d.createControls = [](DialogFields& fields) {
            fields.Add("标签1", ControlKind::Label).caption = "数字：";
            fields.Add("编辑框1", ControlKind::EditBox).text = "1";
            fields.Add("编辑框2", ControlKind::EditBox).digitsOnly = true;
            Control& a = fields.Add("单选框_甲", ControlKind::RadioButton);
            a.caption = "甲";
            a.group = "模式";
            a.checked = true;
            Control& b = fields.Add("单选框_乙", ControlKind::RadioButton);
            b.caption = "乙";
            b.group = "模式";
            fields.Add("选择框1", ControlKind::CheckBox).caption = "大写";
            Control& list = fields.Add("超级列表框1", ControlKind::ListView);
            list.columns = {"名称", "值"};
            fields.Add("按钮1", ControlKind::Button).caption = "执行";
        };
        d.onChange["编辑框1"] = [](DialogFields& fields, CommandContext&) {
            fields.At("标签1").caption = "已改";
        };
        d.onClick["单选框_乙"] = [](DialogFields& fields, CommandContext&) {
            fields.At("选择框1").enabled = false;
            fields.At("编辑框2").digitsOnly = false;
        };
        d.onPress["按钮1"] = [](DialogFields& fields, CommandContext& context) {
            context.editor.ReplaceText(fields.TextOf("编辑框1"));
            fields.At("超级列表框1").rows.push_back({"a", fields.TextOf("编辑框1")});
        };
        return d;
    }();
    return definition;
}

struct SampleForm {
    void setupUi(QWidget* form) {
        auto* layout = new QVBoxLayout(form);
        auto add = [&](QWidget* widget, const char* name) {
            widget->setObjectName(QString::fromUtf8(name));
            layout->addWidget(widget);
        };
        add(new QLabel(QStringLiteral("数字：")), "标签1");
        add(new QLineEdit(QStringLiteral("1")), "编辑框1");
        add(new QLineEdit, "编辑框2");
        auto* a = new QRadioButton(QStringLiteral("甲"));
        a->setChecked(true);
        add(a, "单选框_甲");
        add(new QRadioButton(QStringLiteral("乙")), "单选框_乙");
        add(new QCheckBox(QStringLiteral("大写")), "选择框1");
        add(new QTreeWidget, "超级列表框1");
        add(new QPushButton(QStringLiteral("执行")), "按钮1");
    }
};

// Types each character as one key press carrying its text, as an input method would.
void Type(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
    }
}

template <class T>
T* Child(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromUtf8(name));
}

class FormDialogTest : public ::testing::Test {
protected:
    FormDialogTest() : m_host(m_window, m_context) {
        m_host.SetActionRunner([this](const std::function<void()>& action) {
            ++m_actions;
            action();
        });
        RegisterForm<SampleForm>(m_host, "样例", SampleDialog());
    }

    QWidget m_window;
    MemoryEditor m_editor;
    Services m_services;
    CommandContext m_context{m_editor, m_services};
    DialogHost m_host;
    int m_actions = 0;
};

TEST_F(FormDialogTest, UserActionsRunTheHandlersAndShowTheirResult) {
    QWidget& dialog = *m_host.Open("样例");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("样例"));
    EXPECT_TRUE(static_cast<FormDialog&>(dialog).FormDifferences().empty());

    auto* edit = Child<QLineEdit>(dialog, "编辑框1");
    edit->selectAll();
    Type(edit, QStringLiteral("中文"));
    EXPECT_EQ(Child<QLabel>(dialog, "标签1")->text(), QStringLiteral("已改"));

    Child<QRadioButton>(dialog, "单选框_乙")->click();
    EXPECT_TRUE(Child<QRadioButton>(dialog, "单选框_乙")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(dialog, "单选框_甲")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "选择框1")->isEnabled());
    // A second click on the checked button leaves it checked, as in a group.
    Child<QRadioButton>(dialog, "单选框_乙")->click();
    EXPECT_TRUE(Child<QRadioButton>(dialog, "单选框_乙")->isChecked());

    QTest::mouseClick(Child<QPushButton>(dialog, "按钮1"), Qt::LeftButton);
    EXPECT_EQ(m_actions, 1);
    EXPECT_EQ(m_editor.ReadText(), "\xD6\xD0\xCE\xC4");
    auto* list = Child<QTreeWidget>(dialog, "超级列表框1");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("中文"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("名称"));
}

TEST_F(FormDialogTest, DigitsOnlyBoxTakesOnlyDigitsWhenTyped) {
    QWidget& dialog = *m_host.Open("样例");
    auto* digits = Child<QLineEdit>(dialog, "编辑框2");
    Type(digits, QStringLiteral("a1-2０3"));
    EXPECT_EQ(digits->text(), QStringLiteral("123"));
    EXPECT_EQ(static_cast<FormDialog&>(dialog).Session().Fields().TextOf("编辑框2"), "123");
    // A handler that lifts the rule frees the box at once.
    Child<QRadioButton>(dialog, "单选框_乙")->click();
    Type(digits, QStringLiteral("a"));
    EXPECT_EQ(digits->text(), QStringLiteral("123a"));
}

TEST_F(FormDialogTest, DifferencesBetweenFormAndFieldsAreListed) {
    QWidget form;
    SampleForm().setupUi(&form);
    Child<QLabel>(form, "标签1")->setText(QStringLiteral("别的"));
    Child<QCheckBox>(form, "选择框1")->setChecked(true);
    delete Child<QPushButton>(form, "按钮1");
    (new QLineEdit(&form))->setObjectName(QStringLiteral("编辑框9"));
    Child<QLineEdit>(form, "编辑框1")->setProperty("digitsOnly", true);
    DialogSession session(SampleDialog(), m_context);
    const std::vector<std::string> differences = CompareFormWithFields(form, session.Fields());
    EXPECT_EQ(differences.size(), 5u);
}

class RegisteredFormsTest : public ::testing::Test, protected test::CommandsFixture {
protected:
    // Opens every dialog the window registers, in turn, shown and laid out at the default
    // font, and hands it to check.
    void ForEachDialog(const std::function<void(const std::string&, QWidget&)>& check) {
        MainWindow& window = OpenBound();
        for (const std::string& caption : window.Dialogs().Captions()) {
            QWidget* dialog = window.Dialogs().Open(caption);
            ASSERT_NE(dialog, nullptr) << caption;
            QApplication::processEvents();
            check(caption, *dialog);
            delete dialog;
        }
    }
};

// Where a widget draws its caption and how much room the caption takes there: a label's text
// as aligned in its place, a button's text in the style's contents area of the button (beside
// the indicator of a check box or radio button). In the parent's coordinates.
struct CaptionPlace {
    QRect room;
    QSize wanted;
};

CaptionPlace PlaceOfCaption(const QWidget& widget, const QString& caption) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const QSize wanted = label->wordWrap()
                                 ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->sizeHint();
        return {label->geometry(), wanted};
    }
    QStyleOptionButton option;
    option.initFrom(&widget);
    option.text = caption;
    const QStyle::SubElement contents =
        qobject_cast<const QCheckBox*>(&widget)      ? QStyle::SE_CheckBoxContents
        : qobject_cast<const QRadioButton*>(&widget) ? QStyle::SE_RadioButtonContents
                                                     : QStyle::SE_PushButtonContents;
    const QRect room = widget.style()->subElementRect(contents, &option, &widget);
    return {room.translated(widget.pos()),
            widget.fontMetrics().size(Qt::TextShowMnemonic, caption)};
}

std::string Describe(const QRect& rect) {
    return std::to_string(rect.width()) + "x" + std::to_string(rect.height()) + "+" +
           std::to_string(rect.x()) + "+" + std::to_string(rect.y());
}

// Where a caption does not fit its place at the current font: cut by its own size, or
// covered by a sibling widget.
std::vector<std::string> CutCaptions(const QWidget& dialog) {
    std::vector<std::string> cut;
    for (const QWidget* widget : dialog.findChildren<const QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const QString caption = label ? label->text() : button ? button->text() : QString();
        if (caption.isEmpty() || !widget->isVisibleTo(&dialog)) {
            continue;
        }
        const std::string where =
            widget->objectName().toStdString() + " \"" + caption.toStdString() + "\": ";
        const CaptionPlace place = PlaceOfCaption(*widget, caption);
        if (place.wanted.width() > place.room.width() ||
            place.wanted.height() > place.room.height()) {
            cut.push_back(where + "needs " + std::to_string(place.wanted.width()) + "x" +
                          std::to_string(place.wanted.height()) + ", has " + Describe(place.room));
        }
        const Qt::Alignment alignment = label ? label->alignment() : Qt::AlignCenter;
        const QRect text =
            QStyle::alignedRect(widget->layoutDirection(), alignment,
                                place.wanted.boundedTo(place.room.size()), place.room);
        for (const QObject* child : widget->parentWidget()->children()) {
            const auto* sibling = qobject_cast<const QWidget*>(child);
            if (sibling != nullptr && sibling != widget && sibling->isVisibleTo(&dialog) &&
                !sibling->isWindow() && sibling->geometry().intersects(text)) {
                cut.push_back(where + "text at " + Describe(text) + " under " +
                              sibling->objectName().toStdString() + " at " +
                              Describe(sibling->geometry()));
            }
        }
    }
    return cut;
}

TEST_F(RegisteredFormsTest, EveryCaptionFitsItsPlace) {
    ForEachDialog([](const std::string& caption, QWidget& dialog) {
        for (const std::string& cut : CutCaptions(dialog)) {
            ADD_FAILURE() << caption << ": " << cut;
        }
    });
}

// The clicks of every button of a dialog, counted together.
class ButtonClicks {
public:
    explicit ButtonClicks(QWidget& dialog) {
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            QObject::connect(button, &QPushButton::clicked, &m_context,
                             [this, button] { m_clicked.push_back(button); });
        }
    }
    const std::vector<QPushButton*>& Clicked() const { return m_clicked; }

private:
    QObject m_context;
    std::vector<QPushButton*> m_clicked;
};

// Enter in any single-line box presses the dialog's action button and nothing else; in a
// multi-line box it starts a new line. Only the batch window's merge tab, whose "合并" and
// "拆分" both write files, and the About window have no default button.
TEST_F(RegisteredFormsTest, EnterPressesTheActionButton) {
    test::MessageBoxAnswerer answerer;
    std::vector<std::string> withoutDefault;
    ForEachDialog([&](const std::string& caption, QWidget& dialog) {
        std::vector<QPushButton*> defaults;
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisible()) {
                defaults.push_back(button);
            }
        }
        if (defaults.empty()) {
            withoutDefault.push_back(caption);
        } else {
            ASSERT_EQ(defaults.size(), 1u) << caption;
            auto* form = qobject_cast<FormDialog*>(&dialog);
            ASSERT_NE(form, nullptr) << caption;
            EXPECT_EQ(defaults[0]->objectName().toStdString(),
                      form->Session().Definition().actionButton)
                << caption;
        }
        const ButtonClicks clicks(dialog);
        std::vector<QPushButton*> expected;
        for (QLineEdit* line : dialog.findChildren<QLineEdit*>()) {
            if (!line->isVisible() || !line->isEnabled() ||
                qobject_cast<QComboBox*>(line->parentWidget()) != nullptr) {
                continue;
            }
            line->setFocus();
            if (!defaults.empty() && !defaults[0]->isEnabled()) {
                QTest::keyClicks(line, QStringLiteral("a"));  // Find waits for a keyword
                ASSERT_TRUE(defaults[0]->isEnabled()) << caption;
            }
            QTest::keyClick(line, Qt::Key_Return);
            expected.insert(expected.end(), defaults.begin(), defaults.end());
            EXPECT_EQ(clicks.Clicked(), expected)
                << caption << ": Enter in " << line->objectName().toStdString();
        }
        for (QPlainTextEdit* box : dialog.findChildren<QPlainTextEdit*>()) {
            if (!box->isVisible() || !box->isEnabled() || box->isReadOnly()) {
                continue;
            }
            box->setFocus();
            const qsizetype lines = box->toPlainText().count(QLatin1Char('\n'));
            QTest::keyClick(box, Qt::Key_Return);
            EXPECT_EQ(box->toPlainText().count(QLatin1Char('\n')), lines + 1) << caption;
            EXPECT_EQ(clicks.Clicked(), expected)
                << caption << ": Enter in " << box->objectName().toStdString();
        }
    });
    EXPECT_EQ(withoutDefault, (std::vector<std::string>{"&A.关于...", "合并/拆分"}));
}

// Every dialog of the menu: its form says what its definition says, freshly opened.
TEST_F(RegisteredFormsTest, EveryFormAgreesWithItsDefinition) {
    MainWindow& window = OpenBound();
    for (const Command& command : window.Registry().All()) {
        if (command.dialog == nullptr || !window.Dialogs().Has(command.caption)) {
            continue;
        }
        QWidget* dialog = window.Dialogs().Open(command.caption);
        ASSERT_NE(dialog, nullptr) << command.caption;
        auto* form = qobject_cast<FormDialog*>(dialog);
        if (form == nullptr) {
            continue;  // a window of its own kind, tested by itself
        }
        EXPECT_EQ(form->windowTitle().toStdString(), command.dialog->title) << command.caption;
        for (const std::string& difference : form->FormDifferences()) {
            ADD_FAILURE() << command.caption << ": " << difference;
        }
        delete dialog;
    }
}

}  // namespace
}  // namespace velmor
