#include "run/pages/pagerenderer.h"

#include "core/globals.h"
#include "core/modmain.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/pngwriter.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/vbvalue.h"
#include "text/fonttexture.h"
#include "text/pictureshape.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <optional>

namespace pages {

namespace {

const QString kDotDescriptor = QStringLiteral("Arial,1,5,0,0,0,0,0,0");
const QString kLayoutError = QStringLiteral("Error creating ORV Theme Layout.");
const QString kTextureError = QStringLiteral("Error creating ORV Texture.");
// A value shown in a log line keeps this many characters.
constexpr qsizetype kShownValue = 80;

// A page side setting ("768"), when it is a usable size.
std::optional<int> pageSide(const QString& setting)
{
    const double v = vb::Val(setting);
    if (!(v >= 1 && v <= kMaxScreenSide))
        return std::nullopt;
    return vb::CInt(v);
}

// `value` in quotes, cut to its first 80 characters ("..." marks a cut).
QString shown(const QString& value)
{
    if (value.size() <= kShownValue)
        return QLatin1Char('"') + value + QLatin1Char('"');
    // A character of two UTF-16 units is not cut in half.
    const qsizetype keep = value[kShownValue - 1].isHighSurrogate() ? kShownValue - 1 : kShownValue;
    return QLatin1Char('"') + value.left(keep) + QStringLiteral("...\"");
}

// The "!!!" line for a page size setting that readSize refused.
QString pageSizeCause()
{
    const bool width = !pageSide(gstrScreenWidth);
    return QStringLiteral("!!!The screen %1 %2 is not a usable page size.")
        .arg(width ? QStringLiteral("Width") : QStringLiteral("Height"),
             shown(width ? gstrScreenWidth : gstrScreenHeight));
}

// A number as the old value rules read a numeric text: the whole trimmed
// text must be one ("." decimal separator in every locale).
float boxValue(const QString& field, int side)
{
    return float(vb::Round(vb::Val(field) * side, 2));
}

QByteArray encodeWith(const QImage& page, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!page.save(&buf, format, quality))
        return {};
    return bytes;
}

} // namespace

std::optional<QRectF> regionBox(const QString& region, int W, int H)
{
    const QStringList r = region.split(QLatin1Char('|'));
    if (r.size() < 4)
        return std::nullopt;
    return QRectF(boxValue(r[1], W), boxValue(r[0], H), boxValue(r[3], W), boxValue(r[2], H));
}

PageRenderer::PageRenderer()
    : page_(W_, H_, QImage::Format_RGB32)
{
    page_.fill(Qt::black);
}

bool PageRenderer::readSize()
{
    const std::optional<int> w = pageSide(gstrScreenWidth);
    const std::optional<int> h = pageSide(gstrScreenHeight);
    if (!w || !h)
        return false;
    W_ = *w;
    H_ = *h;
    return true;
}

bool PageRenderer::failed(const QString& error, const QString& cause)
{
    // A bad value of the template fails every item that uses it: the page
    // says so once.
    if (causes_.contains(cause))
        return false;
    causes_.insert(cause);
    statusMessage(error);
    statusMessage(cause);
    return false;
}

bool PageRenderer::CreateORVThemeLayout(const QString& backgroundFile, const templates::Template& t)
{
    BusyGuard busy;
    causes_.clear();
    if (gblnStop) {
        statusMessage(QStringLiteral("Create ORV Theme Layout process stop."));
        return false;
    }
    statusMessage(QStringLiteral("Start creating Theme Layout ..."));
    if (!readSize()) {
        // The last page must not be saved again as if it were this one.
        page_.fill(Qt::black);
        return failed(kLayoutError, pageSizeCause());
    }
    // The same picture is reused from page to page while the size stays,
    // and is filled once: with the background colour, or black under a
    // picture that could not be drawn, a video or the PiP window.
    if (page_.width() != W_ || page_.height() != H_)
        page_ = QImage(W_, H_, QImage::Format_RGB32);

    if (t.gstrBackgroundType.trimmed() == QLatin1String("1")) {
        const QString kind = modMain::GetFileType(backgroundFile);
        const bool picture =
            kind == QLatin1String("PictureType") && !backgroundFile.isEmpty() && modMain::blnFileExists(backgroundFile);
        const bool pip = t.gstrPiPOn == QLatin1String("1");
        if (!(picture && !pip && LoadThemeBackground(backgroundFile)))
            page_.fill(Qt::black);
        if ((picture && pip) || kind == QLatin1String("VideoType"))
            RenderTexture(QStringLiteral("."), QStringLiteral("0"), QStringLiteral("0.99|0.99|0|0"), kDotDescriptor);
    } else {
        const uint32_t a = vb::ParseColorText(t.gstrBackgroundColor, 0u);
        const uint32_t b = vb::ParseColorText(t.gstrBackgroundColor, 1u);
        if (a != b) {
            page_.fill(Qt::black);
            return failed(
                kLayoutError,
                QStringLiteral("!!!The background colour %1 is not a colour.").arg(shown(t.gstrBackgroundColor)));
        }
        page_.fill(vb::ToQColor(a));
    }
    statusMessage(QStringLiteral("Finished creating Theme Layout."));
    return true;
}

bool PageRenderer::LoadThemeBackground(const QString& file)
{
    // A board shows the same background page after page: the picture is
    // decoded and scaled once until the file or the page size changes.
    const QFileInfo info(file);
    const QString key = info.absoluteFilePath() + QLatin1Char('|') +
                        QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|') +
                        QString::number(info.size()) + QLatin1Char('|') + QString::number(page_.width()) +
                        QLatin1Char('x') + QString::number(page_.height());
    if (key != backgroundKey_) {
        backgroundKey_.clear();
        const QImage picture = readPicture(file);
        if (picture.isNull())
            return false;
        background_ = picture.scaled(page_.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        backgroundKey_ = key;
    }
    QPainter p(&page_);
    p.drawImage(0, 0, background_);
    return true;
}

bool PageRenderer::RenderTexture(const QString& text, const QString& alignment, const QString& region,
                                 const QString& font)
{
    BusyGuard busy;
    const auto stopped = [] {
        statusMessage(QStringLiteral("Create ORV Texture process stop."));
        return false;
    };
    if (gblnStop)
        return stopped();
    statusMessage(QStringLiteral("Start creating data ..."));
    if (!readSize())
        return failed(kTextureError, pageSizeCause());
    const QString s = text.trimmed();
    const std::optional<double> a = vb::NumberOf(alignment);
    if (!a)
        return failed(kTextureError, QStringLiteral("!!!The alignment %1 is not a number.").arg(shown(alignment)));
    const std::optional<QRectF> box = regionBox(region, W_, H_);
    if (!box)
        return failed(kTextureError, QStringLiteral("!!!The region %1 has %2 of the 4 fields.")
                                         .arg(shown(region), QString::number(region.count(QLatin1Char('|')) + 1)));
    const QStringList f = font.split(QLatin1Char(','));
    if (f.size() < 9)
        return failed(
            kTextureError,
            QStringLiteral("!!!The font %1 has %2 of the 9 fields.").arg(shown(font), QString::number(f.size())));
    if (!vb::NumberOf(f[1]))
        return failed(kTextureError, QStringLiteral("!!!The font size %1 is not a number.").arg(shown(f[1])));
    const int align = vb::CInt(*a);
    if (gblnStop)
        return stopped();
    if (!s.isEmpty() && !f[0].isEmpty())
        paintTextItem(page_, *box, align == 0 ? 0 : align == 1 ? 1 : 2, font, s);
    statusMessage(QStringLiteral("Finished creating ORV Texture ..."));
    return true;
}

QByteArray encodePageImage(const QImage& page, const QString& fileName, pngwriter::PngWriter& png)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return encodeWith(page, "JPG", 100);
    if (ext == QLatin1String("bmp"))
        return encodeWith(page.convertToFormat(QImage::Format_RGB888), "BMP", -1);
    return png.encode(page);
}

PageSave PageRenderer::SaveThemeLayoutImage(const QString& path)
{
    PageSave out;
    const QString name = paths::fileNameOf(path);
    if (!paths::isPlainFileName(name)) {
        statusMessage(QStringLiteral("!!!The page image name \"%1\" can't be used.").arg(name));
        return out;
    }
    out.path = paths::join(gstrMediaFolder, name);
    const QByteArray bytes = encodePageImage(page_, name, png_);
    if (bytes.isEmpty() || !atomicfile::write(out.path, bytes)) {
        statusMessage(QStringLiteral("!!!Error saving page image %1.").arg(out.path));
        return out;
    }
    out.saved = true;
    if (gstrStandAlone == QLatin1String("0")) {
        const QString copy = paths::join(paths::join(gstrPlayerFolder, QStringLiteral("Media")), name);
        if (atomicfile::write(copy, bytes))
            out.playerName = name;
        else
            statusMessage(QStringLiteral("!!!Error saving page image %1.").arg(copy));
    }
    return out;
}

int PageRenderer::MeasureText(const QString& text, const QString& fontName, const QString& size, bool bold)
{
    if (text.isEmpty())
        return 1;
    CFontTexture t;
    t.setFontWeight(bold ? 700 : 400);
    t.setFontHeight(vb::CInt(vb::Val(size)));
    return t.GetFontWidth(fontName, text);
}

bool PageRenderer::CaptureScreen()
{
    BusyGuard busy;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QString captured = paths::join(gstrMediaFolder, QStringLiteral("_CapturedScreen.jpg"));
    for (int attempt = 0; attempt < 4; ++attempt) {
        const QImage shot =
            screen->grabWindow(0).toImage().scaled(320, 240, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QByteArray bytes = encodeWith(shot, "JPG", 100);
        if (bytes.isEmpty() || !atomicfile::write(captured, bytes))
            return false;
        if (bytes.size() > 10240) {
            atomicfile::write(paths::join(gstrMediaFolder, QStringLiteral("_Screen.jpg")), bytes);
            break;
        }
    }
    return true;
}

void PageRenderer::btnCreate_Click()
{
    if (CreateORVThemeLayout(gstrThemeLayoutFile, templates::designerTemplate())) {
        SaveThemeLayoutImage(gstrThemeLayoutFile);
        services::message(QStringLiteral("Successfully create and save Theme Layout."));
    } else {
        services::message(QStringLiteral("Failed create Theme Layout."));
    }
}

void PageRenderer::btnCreateTexture_Click()
{
    if (RenderTexture(QStringLiteral("Testing"), QStringLiteral("2"), QStringLiteral("0|0|0.04|0.72"),
                      QStringLiteral("Arial,18,16711680,1,0,0,0,1,65535"))) {
        SaveThemeLayoutImage(gstrThemeLayoutFile);
        services::message(QStringLiteral("Successfully create Theme Texture."));
    } else {
        services::message(QStringLiteral("Failed create Theme Texture."));
    }
}

void PageRenderer::btnSave_Click()
{
    if (BusyGuard::active())
        return;
    QString path;
    if (!services::files().chooseSave(QStringLiteral("Save As"), gstrProgramFolder,
                                      QStringLiteral("BMP Files (*.bmp)|*.bmp|JPEG Files (*.jpg)|*.jpg|PNG Files "
                                                     "(*.png)|*.png"),
                                      QString(), true, path))
        return;
    SaveThemeLayoutImage(path);
}

void PageRenderer::btnScreenCapture_Click()
{
    services::message(CaptureScreen() ? QStringLiteral("Successfully capture the screen.")
                                      : QStringLiteral("Failed capture the screen."));
}

} // namespace pages
