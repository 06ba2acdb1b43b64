// CTestingDialog: the diagnostic "Testing Dialog", a layer list of a picture in a dialog,
// listing its layers as the layers panel does.
#pragma once

#include <QDialog>

class CLayerListBox;
class ITzPicture;

class CTestingDialog : public QDialog {
public:
    explicit CTestingDialog(QWidget* parent = nullptr);
    ~CTestingDialog() override;

    // The picture listed (null: none); not owned, and forgotten when it is destroyed.
    void SetPicture(ITzPicture* picture);
    ITzPicture* GetPicture() const;
    CLayerListBox* GetList() const { return m_list; }

private:
    CLayerListBox* m_list;
};
