// Edit boxes that take only the text their filter allows. CFilterEdit checks every change
// the user makes (typing, pasting, cutting, deleting, dropping) against IsValidText and
// refuses the change, leaving the text as it was, when the result is not valid; each
// accepted change is followed by OnTextChanged. CFloatEdit is the number box: digits and
// at most one decimal point (or digits only).
#pragma once

#include <QLineEdit>

class CFilterEdit : public QLineEdit {
public:
    explicit CFilterEdit(QWidget* parent = nullptr);

    // Whether the whole text may stand in the box; the base takes every text.
    virtual bool IsValidText(const QString& text) const;

protected:
    // After each change the user made; the base does nothing.
    virtual void OnTextChanged();
};

class CFloatEdit : public CFilterEdit {
    Q_OBJECT

public:
    explicit CFloatEdit(QWidget* parent = nullptr) : CFilterEdit(parent) {}

    // Digits only, no decimal point.
    void SetIntegerOnly(bool integerOnly) { m_integerOnly = integerOnly; }
    bool IsIntegerOnly() const { return m_integerOnly; }

    // Digits 0-9 and, unless integer-only, one decimal point; the empty text is valid.
    bool IsValidText(const QString& text) const override;
    // The text as a decimal number: 0 for text without one ("" or "."); a number beyond
    // the double range gives the largest double, one too small for it 0.
    double GetValue() const;

signals:
    // The user changed the text; the id is the box's objectName as a number (0 for none).
    void floatEditChanged(int controlId);

protected:
    void OnTextChanged() override;

private:
    bool m_integerOnly = false;
};
