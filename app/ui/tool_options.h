// CToolOptionsDlg: a tool's options panel, which the main frame docks as its options bar.
// The panel keeps a pointer to its tool, shows the tool's fields in controls named by
// their control ids, and writes each change the user makes straight into the tool; what
// the panel itself sets (filling its controls, a clamped number) changes nothing in the
// tool. The base shows "No Options" for the tools without options.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

class CToolBase;
class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QRadioButton;

class CToolOptionsDlg : public QWidget {
public:
    // The panel of the tool (not owned) on its options template.
    CToolOptionsDlg(CToolBase* tool, uint32_t optionsTemplate, QWidget* parent = nullptr);

    // The height of the tallest control of any panel, the brush panels' preview with its
    // number band. Every panel's row is as tall, so the docked options bar keeps one
    // height whatever the tool, and nothing below it moves when the tool changes.
    static constexpr int kRowHeight = 58;

    CToolBase* GetTool() const { return m_tool; }
    // Shows the tool's fields in the controls; the base has none.
    virtual void UpdateControls() {}

protected:
    // Panels with options lay out their own controls (the base's "No Options" is not
    // added for them).
    struct WithOptions {};
    CToolOptionsDlg(CToolBase* tool, uint32_t optionsTemplate, QWidget* parent, WithOptions);

    // A number box of 0..255 under its label. A value the user types outside that range
    // is clamped and the box rewritten with it; apply receives the value.
    QLineEdit* AddNumberBox(int id, const QString& label, std::function<void(uint8_t)> apply);
    // A check box or a radio button, whose clicks run the handler.
    QCheckBox* AddCheck(int id, const QString& text, std::function<void()> clicked);
    QRadioButton* AddRadio(int id, const QString& text, std::function<void()> clicked);
    // Two radio buttons for a choice of 0 (the first) or 1 (the second); a click stores the
    // value of the one checked. SetRadioPair checks the value's button (neither for others).
    void AddRadioPair(int first, const QString& firstText, int second, const QString& secondText,
                      std::function<void(uint32_t)> store);
    void SetRadioPair(int first, int second, uint32_t value);
    // An empty place of that size for a control attached later.
    QWidget* AddPlaceholder(int id, QSize size);
    void AddWidget(QWidget* widget);

    // The controls by id (null when the template lacks it) and setting them without
    // notifying anyone.
    QLineEdit* NumberBox(int id) const;
    QAbstractButton* Button(int id) const;
    void SetNumber(int id, int value);
    void SetChecked(int id, bool checked);
    bool IsChecked(int id) const;

private:
    template <class Button>
    Button* AddButton(int id, const QString& text, std::function<void()> clicked);

    CToolBase* m_tool;
    QBoxLayout* m_row;
};

// The number a number box holds for its tool: the text's integer (0 for none), saturated,
// then kept within 0..255.
int ClampedNumberBoxValue(const QString& text);
