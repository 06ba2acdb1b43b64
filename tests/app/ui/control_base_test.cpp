// Attaching kit controls in their placeholders' places, where the keys go, and the text
// tool's two controls: its key sink and the underline toggle's focus report.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "app/ui/icon_button.h"
#include "app/ui/text_tool_edit.h"
#include "app/ui/text_underline_button.h"

namespace {

// A panel that keeps the keys that reach it.
class Panel : public QWidget {
public:
    Panel()
    {
        auto* layout = new QHBoxLayout(this);
        for (int id : {1001, 1002, 1003}) {
            auto* placeholder = new QPushButton(QString::number(id));
            placeholder->setObjectName(QString::number(id));
            layout->addWidget(placeholder);
        }
        resize(300, 60);
    }

    void Activate()
    {
        show();
        activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
    }

    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

// A button that takes Key_A as its own.
class KeyButton : public RButton {
public:
    std::vector<int> own;
    int doubleClicks = 0;

protected:
    bool OnKeyDown(QKeyEvent& event) override
    {
        if (event.key() != Qt::Key_A)
            return false;
        own.push_back(event.key());
        return true;
    }
    void OnDoubleClick(QMouseEvent&) override { ++doubleClicks; }
};

TEST(ControlBase, AttachingTakesThePlaceholdersPlaceAndDetachingGivesItBack)
{
    Panel panel;
    panel.Activate();
    auto* layout = static_cast<QHBoxLayout*>(panel.layout());
    QWidget* placeholder = panel.findChild<QWidget*>(QStringLiteral("1002"));
    placeholder->setToolTip(QStringLiteral("tip"));
    KeyButton button;
    ASSERT_TRUE(button.Attach(&panel, 1002));
    EXPECT_TRUE(button.IsAttached());
    EXPECT_EQ(button.GetParent(), &panel);
    EXPECT_EQ(layout->indexOf(&button), 1);
    EXPECT_EQ(panel.findChild<QWidget*>(QStringLiteral("1002")), &button) << "the id now names the control";
    EXPECT_EQ(placeholder->parent(), nullptr);
    EXPECT_TRUE(button.isVisible());
    EXPECT_EQ(button.toolTip(), QStringLiteral("tip"));
    EXPECT_FALSE(button.Attach(&panel, 1003)) << "the parent it already has";
    EXPECT_FALSE(button.Attach(nullptr, 1003));

    button.Detach();
    EXPECT_FALSE(button.IsAttached());
    EXPECT_EQ(layout->indexOf(placeholder), 1);
    EXPECT_EQ(button.parent(), nullptr);
    EXPECT_TRUE(placeholder->isVisible());
    EXPECT_EQ(panel.findChild<QWidget*>(QStringLiteral("1002")), placeholder);
}

TEST(ControlBase, AttachingToAMissingIdChangesNothing)
{
    Panel panel;
    Panel other;
    const QObjectList before = panel.children();
    KeyButton button;
    EXPECT_FALSE(button.Attach(&panel, 999));
    EXPECT_FALSE(button.IsAttached());
    EXPECT_EQ(panel.children(), before);
    EXPECT_EQ(panel.layout()->count(), 3);
    // Attached elsewhere, a missing id keeps the control where it stands.
    ASSERT_TRUE(button.Attach(&other, 1001));
    EXPECT_FALSE(button.Attach(&panel, 999));
    EXPECT_EQ(button.GetParent(), &other);
    EXPECT_EQ(panel.children(), before);
}

TEST(ControlBase, ControlAndPanelMayGoInEitherOrder)
{
    {
        // The control first: the panel gets its placeholder back.
        Panel panel;
        {
            KeyButton button;
            ASSERT_TRUE(button.Attach(&panel, 1001));
        }
        EXPECT_EQ(static_cast<QHBoxLayout*>(panel.layout())->indexOf(panel.findChild<QWidget*>(QStringLiteral("1001"))), 0);
    }
    // The panel first: it deletes the control it holds, and the placeholder goes too.
    auto* panel = new Panel();
    auto* button = new KeyButton();
    ASSERT_TRUE(button->Attach(panel, 1003));
    delete panel;
}

TEST(ControlBase, AKeyTheControlDoesNotTakeReachesItsParent)
{
    Panel panel;
    KeyButton button;
    ASSERT_TRUE(button.Attach(&panel, 1001));
    panel.Activate();
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_A);
    QTest::keyClick(&button, Qt::Key_B);
    QTest::keyClick(&button, Qt::Key_F5);
    EXPECT_EQ(button.own, std::vector<int>{Qt::Key_A});
    EXPECT_EQ(panel.keys, (std::vector<int>{Qt::Key_B, Qt::Key_F5}));
    QTest::mouseDClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.doubleClicks, 1);
}

// The text tool's side of the key sink.
class Receiver : public ITextKeyReceiver {
public:
    std::vector<int> keys;
    std::u16string text;
    void OnTextKeyDown(int key, Qt::KeyboardModifiers) override { keys.push_back(key); }
    void OnTextChar(char16_t unit) override { text.push_back(unit); }
};

TEST(TextToolEdit, HandsKeysAndCommittedTextToTheToolAndNoneToItsParents)
{
    Panel panel;
    RTextToolEdit sink;
    Receiver receiver;
    sink.SetReceiver(&receiver);
    ASSERT_TRUE(sink.Attach(&panel, 1002));
    // The frame's shortcut stays the frame's.
    QAction undo(&panel);
    undo.setShortcut(QKeySequence::Undo);
    panel.addAction(&undo);
    int undos = 0;
    QObject::connect(&undo, &QAction::triggered, [&] { ++undos; });
    panel.Activate();
    EXPECT_EQ(sink.size(), QSize(1, 1));
    sink.setFocus();
    ASSERT_TRUE(sink.hasFocus()) << "one pixel, but shown: it holds the focus";
    EXPECT_TRUE(sink.testAttribute(Qt::WA_InputMethodEnabled));

    QTest::keyClicks(&sink, QStringLiteral("Hi"));
    QTest::keyClick(&sink, Qt::Key_Backspace);
    QTest::keyClick(&sink, Qt::Key_Delete);
    QTest::keyClick(&sink, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&sink, Qt::Key_Escape);
    QTest::keyClick(&sink, Qt::Key_Z, Qt::ControlModifier);
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf16(u"\U0001F600\u00E9"));
    QApplication::sendEvent(&sink, &composed);

    EXPECT_EQ(receiver.keys, (std::vector<int>{Qt::Key_H, Qt::Key_I, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Shift,
                                               Qt::Key_Right, Qt::Key_Escape, Qt::Key_Control}));
    EXPECT_EQ(receiver.text, std::u16string(u"Hi\b\x1b\xD83D\xDE00\u00E9"));
    EXPECT_EQ(undos, 1) << "Ctrl+Z went to the frame's Undo, not to the tool";
    EXPECT_TRUE(panel.keys.empty());

    // A surrogate without its partner, as a faulty input method may commit, is dropped;
    // pairs pass whole.
    for (const std::u16string& commit : {std::u16string(u"a\xD83D"), std::u16string(u"\xDE00" u"b\xD83D\xD83D\xDE01")}) {
        QInputMethodEvent stray;
        stray.setCommitString(QString::fromUtf16(commit.data(), qsizetype(commit.size())));
        QApplication::sendEvent(&sink, &stray);
    }
    EXPECT_EQ(receiver.text, std::u16string(u"Hi\b\x1b\xD83D\xDE00\u00E9" u"ab\xD83D\xDE01"));

    // Without a receiver the keys are still kept from the panel.
    sink.SetReceiver(nullptr);
    QTest::keyClick(&sink, Qt::Key_X);
    EXPECT_TRUE(panel.keys.empty());
}

class FocusListener : public IFocusTakenListener {
public:
    std::vector<QWidget*> from;
    void FocusTakenFrom(QWidget* previous) override { from.push_back(previous); }
};

TEST(TextUnderLineButton, TellsItsPanelWhichWidgetHadTheFocus)
{
    Panel panel;
    RTextToolEdit sink;
    RTextUnderLineButton underline;
    FocusListener listener;
    underline.SetListener(&listener);
    ASSERT_TRUE(sink.Attach(&panel, 1001));
    ASSERT_TRUE(underline.Attach(&panel, 1002));
    panel.Activate();
    sink.setFocus();
    QTest::mouseClick(&underline, Qt::LeftButton);
    EXPECT_TRUE(underline.hasFocus());
    EXPECT_EQ(listener.from, std::vector<QWidget*>{&sink});
    EXPECT_FALSE(underline.GetCheck()) << "its panel toggles it, not the click";
    underline.SetCheck(true);
    EXPECT_TRUE(underline.GetCheck());
}

}  // namespace
