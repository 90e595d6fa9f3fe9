#include "preview/ui/MouthDrawings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <utility>

#include "dialogue/MouthSet.h"
#include "preview/MouthDrawingFiles.h"

// Zorvane's own drawings live in the UI library's resources; a static
// library's resources must be registered by name before first use.
static void InitMouthResources() { Q_INIT_RESOURCE(mouths); }

namespace zv {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A few names, then how many more: a message stays readable.
std::string ListOf(const std::vector<std::string>& lines) {
    constexpr std::size_t kShown = 8;
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += "\n" + lines[i];
    if (lines.size() > kShown) text += "\n(and " + std::to_string(lines.size() - kShown) + " more)";
    return text;
}

} // namespace

MouthDrawings::MouthDrawings() = default;
MouthDrawings::~MouthDrawings() = default;
MouthDrawings::MouthDrawings(MouthDrawings&&) noexcept = default;
MouthDrawings& MouthDrawings::operator=(MouthDrawings&&) noexcept = default;

MouthDrawings MouthDrawings::Load(const std::string& folder, const MouthSet& set) {
    InitMouthResources();
    MouthDrawings d;
    d.folder_ = folder;
    QString path;
    if (folder.empty()) {
        const std::string own = MouthDrawingFiles::OwnFolder(set.Name());
        if (own.empty()) {   // a set of the user's: no drawings of ours
            d.missing_ = set.Shapes();
            return d;
        }
        path = QStringLiteral(":/mouths/") + FromUtf8(own);
    } else {
        path = FromUtf8(folder);
    }
    const QDir dir(path);
    const QFileInfo info(path);
    // A user's folder that cannot be listed: every shape shows its name.
    if (!folder.empty() && (!info.exists() || !info.isDir() || !info.isReadable())) {
        d.missing_ = set.Shapes();
        d.error_ = "Couldn't read the mouth drawings folder " + folder + ": " +
                   (!info.exists() ? "it does not exist." : !info.isDir() ? "it is not a folder." : "it cannot be read.");
        return d;
    }
    std::vector<std::string> names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name))
        names.push_back(name.toStdString());
    const DrawingFileChoice choice = MouthDrawingFiles::Match(set.Shapes(), names);
    std::vector<std::string> failed;
    for (const std::string& shape : set.Shapes()) {
        const auto file = choice.fileOfShape.find(shape);
        if (file == choice.fileOfShape.end()) {
            d.missing_.push_back(shape);
            continue;
        }
        const QString filePath = dir.filePath(FromUtf8(file->second));
        Source source;
        std::string why;
        if (QFileInfo(filePath).size() > kMaxFileBytes) {
            why = "larger than " + std::to_string(kMaxFileBytes >> 20) + " MB";
        } else if (QFileInfo(filePath).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
            auto svg = std::make_shared<QSvgRenderer>();
            if (svg->load(filePath) && svg->isValid() && !svg->defaultSize().isEmpty()) source.svg = std::move(svg);
            else why = "not a drawing Zorvane can read (SVG)";
        } else {
            QImageReader reader(filePath);
            reader.setAutoTransform(true);
            source.image = reader.read();
            if (source.image.isNull()) why = reader.errorString().toStdString();
        }
        if (!why.empty()) {
            failed.push_back(file->second + ": " + why);
            d.missing_.push_back(shape);
            continue;
        }
        d.sources_.emplace(shape, std::move(source));
    }
    if (!failed.empty())
        d.error_ = "Couldn't load these mouth drawings in " + (folder.empty() ? path.toStdString() : folder) + ":" +
                   ListOf(failed) + "\nTheir shapes' names are shown instead.";
    return d;
}

const QPixmap& MouthDrawings::Picture(const std::string& shape, QSize size, qreal ratio) const {
    static const QPixmap none;
    const auto source = sources_.find(shape);
    if (source == sources_.end() || size.isEmpty() || ratio <= 0) return none;
    if (size != pictureSize_ || ratio != pictureRatio_) {
        pictures_.clear();
        pictureSize_ = size;
        pictureRatio_ = ratio;
    }
    const auto made = pictures_.find(shape);
    if (made != pictures_.end()) return made->second;
    const QSize device = (QSizeF(size) * ratio).toSize();
    QPixmap picture;
    if (source->second.svg) {
        const QSize fitted = source->second.svg->defaultSize().scaled(device, Qt::KeepAspectRatio);
        QImage image(fitted.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        source->second.svg->render(&painter);
        painter.end();
        picture = QPixmap::fromImage(image);
    } else {
        picture = QPixmap::fromImage(
            source->second.image.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    picture.setDevicePixelRatio(ratio);
    return pictures_.emplace(shape, std::move(picture)).first->second;
}

} // namespace zv
