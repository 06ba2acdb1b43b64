// The options panels' base: its row of controls and the number box.
#include "app/ui/tool_options.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

#include "app/ui/typed_number.h"

CToolOptionsDlg::CToolOptionsDlg(CToolBase* tool, uint32_t optionsTemplate, QWidget* parent)
    : CToolOptionsDlg(tool, optionsTemplate, parent, WithOptions{})
{
    AddWidget(new QLabel(QStringLiteral("No Options"), this));
}

CToolOptionsDlg::CToolOptionsDlg(CToolBase* tool, uint32_t optionsTemplate, QWidget* parent, WithOptions)
    : QWidget(parent), m_tool(tool), m_row(new QHBoxLayout(this))
{
    setObjectName(QString::number(optionsTemplate));
    m_row->setContentsMargins(6, 2, 6, 2);
    m_row->setSpacing(6);
    setMinimumHeight(kRowHeight + m_row->contentsMargins().top() + m_row->contentsMargins().bottom());
    m_row->addStretch(1);
}

void CToolOptionsDlg::AddWidget(QWidget* widget)
{
    // Before the stretch that keeps the controls at the left.
    m_row->insertWidget(m_row->count() - 1, widget);
}

int ClampedNumberBoxValue(const QString& text)
{
    int value = 0;
    ReadLeadingInteger(text, &value);
    return std::clamp(value, 0, 255);
}

QLineEdit* CToolOptionsDlg::AddNumberBox(int id, const QString& label, std::function<void(uint8_t)> apply)
{
    auto* caption = new QLabel(label, this);
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::number(id));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    caption->setBuddy(box);
    AddWidget(caption);
    AddWidget(box);
    connect(box, &QLineEdit::textEdited, this, [box, apply = std::move(apply)](const QString& text) {
        const int value = ClampedNumberBoxValue(text);
        int typed = 0;
        // A value outside the range is shown as the value the tool gets.
        if (ReadLeadingInteger(text, &typed) && typed != value) {
            const QSignalBlocker quiet(box);
            box->setText(QString::number(value));
        }
        apply(uint8_t(value));
    });
    return box;
}

template <class Button>
Button* CToolOptionsDlg::AddButton(int id, const QString& text, std::function<void()> clicked)
{
    auto* button = new Button(text, this);
    button->setObjectName(QString::number(id));
    connect(button, &QAbstractButton::clicked, this, std::move(clicked));
    AddWidget(button);
    return button;
}

QCheckBox* CToolOptionsDlg::AddCheck(int id, const QString& text, std::function<void()> clicked)
{
    return AddButton<QCheckBox>(id, text, std::move(clicked));
}

QRadioButton* CToolOptionsDlg::AddRadio(int id, const QString& text, std::function<void()> clicked)
{
    return AddButton<QRadioButton>(id, text, std::move(clicked));
}

void CToolOptionsDlg::AddRadioPair(int first, const QString& firstText, int second, const QString& secondText,
                                   std::function<void(uint32_t)> store)
{
    const auto choose = [this, first, second, store = std::move(store)] {
        if (IsChecked(first))
            store(0);
        else if (IsChecked(second))
            store(1);
    };
    AddRadio(first, firstText, choose);
    AddRadio(second, secondText, choose);
}

void CToolOptionsDlg::SetRadioPair(int first, int second, uint32_t value)
{
    SetChecked(first, value == 0);
    SetChecked(second, value == 1);
}

QWidget* CToolOptionsDlg::AddPlaceholder(int id, QSize size)
{
    auto* place = new QWidget(this);
    place->setObjectName(QString::number(id));
    place->setFixedSize(size);
    AddWidget(place);
    return place;
}

QLineEdit* CToolOptionsDlg::NumberBox(int id) const
{
    return findChild<QLineEdit*>(QString::number(id));
}

QAbstractButton* CToolOptionsDlg::Button(int id) const
{
    return findChild<QAbstractButton*>(QString::number(id));
}

void CToolOptionsDlg::SetNumber(int id, int value)
{
    if (QLineEdit* box = NumberBox(id)) {
        const QSignalBlocker quiet(box);
        box->setText(QString::number(value));
    }
}

void CToolOptionsDlg::SetChecked(int id, bool checked)
{
    if (QAbstractButton* button = Button(id)) {
        const QSignalBlocker quiet(button);
        button->setChecked(checked);
    }
}

bool CToolOptionsDlg::IsChecked(int id) const
{
    QAbstractButton* button = Button(id);
    return button && button->isChecked();
}
