// CDialogInfo: the information panel, the content of the main frame's floating "Info"
// panel (the frame keeps its place on a monitor). It shows the colour (R, G, B) and the
// picture position (X, Y) under the cursor as the application's information data carries
// them, and empty fields while the cursor is off the picture.
#pragma once

#include <QWidget>

#include "base/broadcaster.h"

class QLabel;
class RInfoData;

class CDialogInfo : public QWidget, public PTzListener {
public:
    explicit CDialogInfo(QWidget* parent = nullptr);

    // Joins the information data (the application's when null) and shows its values.
    void AttachInfoData(RInfoData* info = nullptr);

protected:
    // 5155 (colour set), 5156 (position set) and 5157 (cleared) show the values again.
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

private:
    void ShowInfo();

    RInfoData* m_info = nullptr;
    QLabel* m_fields[5] = {};  // R, G, B, X, Y
};
