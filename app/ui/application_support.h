// RApplication: the control kit's support object, made with the application's managers
// and owned by the application object. It makes the program's compiled-in images (the
// resource file beside this code) available and names the folder they lie in, so that
// the kit finds each bitmap and icon by its resource id.
#pragma once

#include <QPixmap>
#include <QString>

#include "app/shell/shell_links.h"

class RApplication : public quorvel::IApplicationSupport {
public:
    // root: the resource folder holding one "<id>.png" per image.
    explicit RApplication(QString root = QStringLiteral(":/controls"));
    ~RApplication() override;
    RApplication(const RApplication&) = delete;
    RApplication& operator=(const RApplication&) = delete;

    // The global object: the first one made while none lived; null without one.
    static RApplication* Get();
    // The global object's image folder, the kit's "module"; empty without one.
    static QString GetModuleHandle();
    // The image of that resource id from the global object's folder: null without a
    // global object or when the folder has no such image.
    static QPixmap LoadImage(int id);

private:
    QString m_root;
};
