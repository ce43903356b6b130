#pragma once
// The off-screen page renderer: one picture of the board's size
// (gstrScreenWidth x gstrScreenHeight) that a page is drawn into - the
// template's background first, then every text item through the text drawer -
// and then saved as the page image in the Media folder (and copied for the
// local player when the program does not show pages itself).
//
// It is a long-lived object, not a window: nothing it owns is destroyed while
// one of its operations runs, so Stop may arrive in the middle of a page.
// Every file it writes is written atomically, so the display and the player
// never read a half-written picture.
#include "platform/pngwriter.h"
#include "templates/template.h"

#include <QImage>
#include <QRectF>
#include <QSet>
#include <QString>

#include <optional>

namespace pages {

// What saving a page did.
struct PageSave {
    bool saved = false; // the page image is on disk under `path`
    QString path;       // the page image written (Media folder & name)
    QString playerName; // the name of the copy in the player's Media folder; empty when no copy was made
};

// What the page routine draws on. The renderer below is the real one; tests
// record the calls instead.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    // Starts a fresh page with the template's background.
    virtual bool CreateORVThemeLayout(const QString& backgroundFile, const templates::Template& t) = 0;
    // Draws one text item: alignment code ("0" left, "1" right, else centred),
    // LayoutRect ("top|left|height|width" fractions) and FontDescriptor.
    virtual bool RenderTexture(const QString& text, const QString& alignment, const QString& region,
                               const QString& font) = 0;
    // Writes the page image under the file name of `path` into the Media folder.
    virtual PageSave SaveThemeLayoutImage(const QString& path) = 0;
};

class PageRenderer final : public PageCanvas {
public:
    PageRenderer();

    // Clears the page to black at the size of the settings (W x H) and lays
    // the background down: a picture (unless the PiP window is on), black for
    // a video, or the template's background colour. False (with a log line)
    // after a stop or when the size or the colour can't be read; a failure's
    // line is followed by a "!!!" line that names the value at fault.
    bool CreateORVThemeLayout(const QString& backgroundFile, const templates::Template& t) override;

    // Draws a picture file stretched over the whole page. False when the
    // file can't be read: the page is then left as it was.
    bool LoadThemeBackground(const QString& file);

    // False ("Error creating ORV Texture.") when the alignment is not a
    // number, the region has fewer than 4 fields, the font fewer than 9 or its
    // size is not a number, followed by a "!!!" line naming the field and its
    // value (its first 80 characters); a page logs the pair once for the same
    // cause. False ("Create ORV Texture process stop.") when the stop flag is
    // set. A blank text or an empty face draws nothing.
    bool RenderTexture(const QString& text, const QString& alignment, const QString& region,
                       const QString& font) override;

    // The name is the text after the last "\" or "/"; "", ".", ".." or one
    // with control characters is refused with a "!!!" line. ".png" (and a
    // name without an extension or with one no writer knows) is written as
    // PNG under exactly that name, ".jpg"/".jpeg" as JPEG at quality 100,
    // ".bmp" as 24-bit BMP. With Stand Alone "0" the same bytes go to the
    // player's Media folder. A failed write logs "!!!Error saving page image
    // <path>." and is returned as such.
    PageSave SaveThemeLayoutImage(const QString& path) override;

    // Width of `text` in pixels as the drawer measures it (1 for "").
    int MeasureText(const QString& text, const QString& fontName, const QString& size, bool bold);

    // Captures the screen up to four times into Media/_CapturedScreen.jpg
    // (320 x 240) until one is larger than 10240 bytes, which is copied to
    // Media/_Screen.jpg. False only when no capture could be made at all.
    bool CaptureScreen();

    // The render window's commands, answered with message boxes.
    void btnCreate_Click();
    void btnCreateTexture_Click();
    void btnSave_Click();
    void btnScreenCapture_Click();

    const QImage& page() const { return page_; }
    QImage& page() { return page_; }

private:
    bool readSize();
    // Logs `error` and then `cause`, unless this page logged that cause
    // already. Returns false.
    bool failed(const QString& error, const QString& cause);

    // The page size comes first: the page is made from it.
    int W_ = 768;
    int H_ = 1024;
    QImage page_;
    QImage background_;        // the last background, scaled to the page
    QString backgroundKey_;    // its file, time, size and page size
    pngwriter::PngWriter png_; // kept from page to page with its threads and buffers
    QSet<QString> causes_;     // the causes of failures logged since the page began
};

// The pixel box of a LayoutRect on a W x H page: top and height are
// fractions of H, left and width of W, each product rounded to 2 decimals
// (a field that is not a number counts as 0). Nothing when it has fewer than
// four fields.
std::optional<QRectF> regionBox(const QString& region, int W, int H);

// The picture in the encoding its file name asks for (PNG, through `png`,
// for any name without a known extension). Empty bytes when encoding fails.
QByteArray encodePageImage(const QImage& page, const QString& fileName, pngwriter::PngWriter& png);

} // namespace pages
