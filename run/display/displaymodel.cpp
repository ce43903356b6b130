#include "run/display/displaymodel.h"

#include "core/modmain.h"
#include "platform/vbvalue.h"
#include "text/pictureshape.h"

#include <QRegularExpression>
#include <QTransform>

namespace {

const QString kVideo = QStringLiteral("VideoType");
const QString kPicture = QStringLiteral("PictureType");
const QString kOn = QStringLiteral("1");

// A number as the PiP region holds it: optional blanks, sign, digits, "."
// and decimals, optional exponent; nothing else.
std::optional<double> fraction(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return vb::Val(text);
}

} // namespace

void DisplayState::reset()
{
    mblnBackgroundVideoOn = false;
    mblnPiPVideoOn = false;
    mstrShownBackground.clear();
    mstrShownPiP.clear();
    mintPageBox = 1;
    shownBackgroundPicture.clear();
    backgroundPictureStamp = {};
    backgroundVideoStamp = {};
    pipVideoStamp = {};
}

LayoutPlan planLayout(DisplayState& state, const PageMedia& media, const QString& mediaFolder, const FileTest& exists,
                      const FileStampOf& stampOf)
{
    const auto stamp = [&stampOf](const QString& file) { return stampOf ? stampOf(file) : FileStamp{}; };
    LayoutPlan plan;
    if (media.backgroundImage != state.mstrShownBackground) {
        state.mstrShownBackground = media.backgroundImage;
        state.mblnBackgroundVideoOn = false;
    }
    if (media.pipFile != state.mstrShownPiP) {
        state.mstrShownPiP = media.pipFile;
        state.mblnPiPVideoOn = false;
    }
    const QString backgroundKind = modMain::GetFileType(state.mstrShownBackground);
    const QString pipKind = modMain::GetFileType(state.mstrShownPiP);
    const bool fileBackground = media.backgroundType == kOn;
    const bool pipOn = media.pipOn == kOn;
    const bool backgroundVideo = fileBackground && backgroundKind == kVideo;
    const bool pipVideo = pipOn && pipKind == kVideo;

    // Page box: alternate 0 and 1 while a video may play, 2 without files.
    if (fileBackground || pipOn) {
        if (backgroundKind == kVideo || pipKind == kVideo) {
            if (state.mintPageBox > 1)
                state.mintPageBox = 0;
            state.mintPageBox = 1 - state.mintPageBox;
        }
    } else {
        state.mintPageBox = 2;
    }
    plan.pageBox = state.mintPageBox;

    // Background picture, only under a PiP window: the page leaves it out
    // (black) whatever the PiP plays, so it shows here also when the PiP
    // is a picture or names no file.
    QString picture;
    if (fileBackground && backgroundKind == kPicture && pipOn) {
        picture = modMain::resolveMediaPath(state.mstrShownBackground, mediaFolder, exists);
        if (!exists(picture))
            picture.clear();
    }
    const FileStamp pictureStamp = picture.isEmpty() ? FileStamp{} : stamp(picture);
    if (picture.isEmpty())
        plan.backgroundPicture = state.shownBackgroundPicture.isEmpty() ? PictureStep::Keep : PictureStep::Hide;
    else if (picture != state.shownBackgroundPicture || pictureStamp != state.backgroundPictureStamp)
        plan.backgroundPicture = PictureStep::Load;
    plan.backgroundPictureFile = picture;
    state.shownBackgroundPicture = picture;
    state.backgroundPictureStamp = pictureStamp;

    if (backgroundVideo) {
        const QString file = modMain::resolveMediaPath(state.mstrShownBackground, mediaFolder, exists);
        const FileStamp now = stamp(file);
        if (!state.mblnBackgroundVideoOn || now != state.backgroundVideoStamp) {
            state.mblnBackgroundVideoOn = true;
            state.backgroundVideoStamp = now;
            plan.backgroundVideo = VideoStep::Start;
            plan.backgroundVideoFile = file;
        }
    } else {
        state.mblnBackgroundVideoOn = false;
        state.backgroundVideoStamp = {};
        plan.backgroundVideo = VideoStep::Stop;
    }

    plan.pipInUse = pipVideo;
    if (pipVideo) {
        plan.pipRegion = parsePiPRegion(media.pipRegion);
        const QString file = modMain::resolveMediaPath(state.mstrShownPiP, mediaFolder, exists);
        const FileStamp now = stamp(file);
        if (!state.mblnPiPVideoOn || now != state.pipVideoStamp) {
            state.mblnPiPVideoOn = true;
            state.pipVideoStamp = now;
            plan.pipVideo = VideoStep::Start;
            plan.pipVideoFile = file;
        }
    } else {
        state.mblnPiPVideoOn = false;
        state.pipVideoStamp = {};
        plan.pipVideo = VideoStep::Stop;
    }

    plan.seeThrough = backgroundVideo || pipOn;
    return plan;
}

PiPRegion parsePiPRegion(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    PiPRegion r;
    std::optional<double>* fields[] = {&r.top, &r.left, &r.height, &r.width};
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        *fields[i] = fraction(parts[i]);
    return r;
}

int rotationDegrees(const QString& text)
{
    return vb::CInt(vb::Val(text));
}

QImage fitPicture(const QImage& picture, int degrees, const QSize& target)
{
    if (picture.isNull() || target.isEmpty())
        return {};
    QImage turned = picture;
    if (degrees % 360 != 0)
        turned = picture.transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
    if (turned.size() != target)
        turned = turned.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return turned;
}

QImage pageForScreen(const QImage& page, int degrees, const QSize& screen, bool seeThrough)
{
    const QImage fitted = fitPicture(page, degrees, screen);
    if (fitted.isNull())
        return {};
    return seeThrough ? PictureAlphaImage(fitted, 0) : fitted.convertToFormat(QImage::Format_RGB32);
}

bool atEnd(double position, double duration)
{
    return duration > 0 && position >= duration;
}
