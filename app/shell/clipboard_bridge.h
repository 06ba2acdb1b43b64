// TzClipBoard: connects the engine's cut, copy and paste to the system clipboard without
// converting a layer at every copy. Copy and Cut keep the copied pixels as a layer and
// note the clipboard's sequence number; a paste inside the program takes that layer as it
// is while nobody has written to the clipboard since. The layer becomes a bitmap on the
// clipboard only when the program goes inactive, so that other programs can paste it;
// a paste after another program changed the clipboard takes the clipboard's image.
#pragma once

#include <cstdint>
#include <memory>

#include "app/shell/clipboard_port.h"
#include "app/shell/shell_links.h"

class ITzLayerImage;

class TzClipBoard : public quorvel::IClipboardBridge {
public:
    explicit TzClipBoard(std::unique_ptr<IClipboardPort> port);
    ~TzClipBoard() override;
    TzClipBoard(const TzClipBoard&) = delete;
    TzClipBoard& operator=(const TzClipBoard&) = delete;

    // The selected pixels (all of the active image layer without a selection), moved to
    // start at (0, 0), replace the layer kept before: 1; 0 with nothing changed when the
    // picture gives no layer (no picture, no image layer, a selection beside the layer).
    int Copy(ITzPicture* picture) override;
    // The same with the pixels taken out of the picture, as an undo step; a selection is
    // needed.
    int Cut(ITzPicture* picture) override;
    // The kept layer while it is current, else the clipboard's image, inserted above the
    // active layer and centred, as an undo step. Nothing without a picture or an image,
    // or for an image whose bitmap would not fit 32 bits. A pasted layer without a name
    // (an image, or a copy of an unnamed layer) is named as New Layer names.
    void Paste(ITzPicture* picture) override;
    // The size of the current kept layer, else of the clipboard's image: 1; 0 without either.
    int GetImageSize(int32_t* width, int32_t* height) override;
    // Going inactive puts a current kept layer on the clipboard as a bitmap, made first,
    // so that a render that fails leaves the clipboard and the kept layer as they were.
    // Coming back releases the kept layer when the clipboard changed meanwhile.
    void OnAppActivate(bool active) override;

    // Whether a layer is kept, for the tests.
    bool HasKeptLayer() const { return m_kept != nullptr; }

private:
    struct KeptLayerDeleter {
        void operator()(ITzLayerImage* layer) const;
    };

    int Keep(ITzLayerImage* layer);
    // Whether the kept layer is still what the clipboard holds; when the clipboard
    // changed since it was kept, it is released at once.
    bool IsCurrent();
    void Release();
    void Render();

    std::unique_ptr<IClipboardPort> m_port;
    std::unique_ptr<ITzLayerImage, KeptLayerDeleter> m_kept;
    uint32_t m_rendered = 0;
    uint32_t m_sequence = 0;
};
