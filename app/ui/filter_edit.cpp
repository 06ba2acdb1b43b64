// The filtered edit boxes. The filter is the box's validator, so the box itself refuses
// an invalid result of any edit, however it was made.
#include "app/ui/filter_edit.h"

#include <QValidator>
#include <charconv>
#include <limits>
#include <system_error>

namespace {

class FilterValidator : public QValidator {
public:
    explicit FilterValidator(CFilterEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int&) const override
    {
        return m_edit->IsValidText(input) ? Acceptable : Invalid;
    }

private:
    CFilterEdit* m_edit;
};

}  // namespace

CFilterEdit::CFilterEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new FilterValidator(this));
    connect(this, &QLineEdit::textEdited, this, [this] { OnTextChanged(); });
}

bool CFilterEdit::IsValidText(const QString&) const
{
    return true;
}

void CFilterEdit::OnTextChanged() {}

bool CFloatEdit::IsValidText(const QString& text) const
{
    bool pointSeen = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            continue;
        if (c != u'.' || m_integerOnly || pointSeen)
            return false;
        pointSeen = true;
    }
    return true;
}

double CFloatEdit::GetValue() const
{
    const QByteArray digits = text().toLatin1();
    double value = 0;
    const auto [end, error] = std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large when a digit other than 0 stands before the point, else too small.
        for (const char* c = digits.constData(); c != end && *c != '.'; ++c) {
            if (*c != '0')
                return std::numeric_limits<double>::max();
        }
        return 0;
    }
    return error == std::errc() ? value : 0;
}

void CFloatEdit::OnTextChanged()
{
    emit floatEditChanged(objectName().toInt());
}
