#include "svg/render/font_instance.h"

#include "svg/model/values/numbers.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QtEndian>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

namespace {

constexpr quint32 Tag(const char (&t)[5])
{
    return quint32(quint8(t[0])) << 24 | quint32(quint8(t[1])) << 16 | quint32(quint8(t[2])) << 8 |
           quint32(quint8(t[3]));
}

// Longer font-variation-settings lists are refused: fonts have a handful of axes, and
// every run's font is told apart by its settings.
constexpr qsizetype kMaxVariationItems = 256;
// Instances no run holds any more are forgotten once there are this many.
constexpr size_t kInstanceSweep = 256;

// The angle CSS gives "oblique" without one, as a slnt axis counts it (negative leans right).
constexpr float kObliqueSlant = -14;
// The shear of a slant made up for a font with neither an italic face nor an axis for it.
constexpr float kSyntheticShear = 0.2f;

struct TFaceDeleter {
    void operator()(hb_face_t *face) const { hb_face_destroy(face); }
};
struct TFontDeleter {
    void operator()(hb_font_t *font) const { hb_font_destroy(font); }
};

// A font file (and face in it) of a family.
struct TFontFile {
    QString Path;
    unsigned Index = 0;
};

// Files are looked up and loaded once: the lookup asks the system's font matcher, the
// one Qt asks too, for the files of the family Qt picked, and takes the one whose header
// table is the one of Qt's font (it holds the font's checksum and dates).
struct TRegistry {
    QMutex Lock;
    QHash<QString, std::vector<TFontFile>> Files;  // by family
    std::map<std::pair<QString, unsigned>, std::shared_ptr<hb_face_t>> Faces;
    QHash<QByteArray, std::shared_ptr<hb_face_t>> ByHeader;  // family and header table
    std::map<QString, std::weak_ptr<const TFontInstance>> Instances;
};

TRegistry &Registry()
{
    static TRegistry r;
    return r;
}

std::vector<TFontFile> LookUpFiles(const QString &family)
{
    std::vector<TFontFile> out;
    FcPattern *pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet *set = FcFontList(nullptr, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8 *file = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
                continue;
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
            // The low half of the index is the face in a collection, the high half a
            // named instance of a variable font: its axes are set here, so any instance
            // stands for the file.
            TFontFile f{QFile::decodeName(reinterpret_cast<const char *>(file)), unsigned(index) & 0xffffu};
            if (std::none_of(out.begin(), out.end(),
                             [&](const TFontFile &o) { return o.Path == f.Path && o.Index == f.Index; }))
                out.push_back(f);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return out;
}

std::shared_ptr<hb_face_t> LoadFace(TRegistry &r, const TFontFile &file)
{
    const auto key = std::make_pair(file.Path, file.Index);
    auto it = r.Faces.find(key);
    if (it != r.Faces.end())
        return it->second;
    std::shared_ptr<hb_face_t> face;
    if (hb_blob_t *blob = hb_blob_create_from_file_or_fail(QFile::encodeName(file.Path).constData())) {
        face.reset(hb_face_create(blob, file.Index), TFaceDeleter());
        hb_blob_destroy(blob);
    }
    r.Faces.emplace(key, face);
    return face;
}

QByteArray Table(hb_face_t *face, quint32 tag)
{
    hb_blob_t *blob = hb_face_reference_table(face, tag);
    unsigned size = 0;
    const char *data = hb_blob_get_data(blob, &size);
    QByteArray out(data, qsizetype(size));
    hb_blob_destroy(blob);
    return out;
}

// The face of the file Qt's font comes from; null when the matcher knows no such file.
std::shared_ptr<hb_face_t> FaceOf(TRegistry &r, const QRawFont &raw)
{
    const QString family = raw.familyName();
    const QByteArray header = raw.fontTable("head");
    if (header.isEmpty())
        return nullptr;
    const QByteArray key = family.toUtf8() + '\0' + header;
    if (auto it = r.ByHeader.constFind(key); it != r.ByHeader.constEnd())
        return *it;
    auto files = r.Files.find(family);
    if (files == r.Files.end())
        files = r.Files.insert(family, LookUpFiles(family));
    std::shared_ptr<hb_face_t> found;
    for (const TFontFile &f : *files)
        if (std::shared_ptr<hb_face_t> face = LoadFace(r, f); face && Table(face.get(), Tag("head")) == header) {
            found = face;
            break;
        }
    r.ByHeader.insert(key, found);
    return found;
}

bool HasFeature(hb_face_t *face, quint32 feature)
{
    unsigned count = 0;
    count = hb_ot_layout_table_get_feature_tags(face, HB_OT_TAG_GSUB, 0, &count, nullptr);
    std::vector<hb_tag_t> tags(count);
    hb_ot_layout_table_get_feature_tags(face, HB_OT_TAG_GSUB, 0, &count, tags.data());
    return std::find(tags.begin(), tags.begin() + count, feature) != tags.begin() + count;
}

hb_draw_funcs_t *PathDrawing()
{
    static hb_draw_funcs_t *funcs = [] {
        hb_draw_funcs_t *f = hb_draw_funcs_create();
        hb_draw_funcs_set_move_to_func(
            f, [](hb_draw_funcs_t *, void *path, hb_draw_state_t *, float x, float y, void *) {
                static_cast<QPainterPath *>(path)->moveTo(x, y);
            },
            nullptr, nullptr);
        hb_draw_funcs_set_line_to_func(
            f, [](hb_draw_funcs_t *, void *path, hb_draw_state_t *, float x, float y, void *) {
                static_cast<QPainterPath *>(path)->lineTo(x, y);
            },
            nullptr, nullptr);
        hb_draw_funcs_set_quadratic_to_func(
            f, [](hb_draw_funcs_t *, void *path, hb_draw_state_t *, float cx, float cy, float x, float y, void *) {
                static_cast<QPainterPath *>(path)->quadTo(cx, cy, x, y);
            },
            nullptr, nullptr);
        hb_draw_funcs_set_cubic_to_func(
            f, [](hb_draw_funcs_t *, void *path, hb_draw_state_t *, float c1x, float c1y, float c2x, float c2y,
                  float x, float y, void *) { static_cast<QPainterPath *>(path)->cubicTo(c1x, c1y, c2x, c2y, x, y); },
            nullptr, nullptr);
        hb_draw_funcs_set_close_path_func(
            f, [](hb_draw_funcs_t *, void *path, hb_draw_state_t *, void *) {
                static_cast<QPainterPath *>(path)->closeSubpath();
            },
            nullptr, nullptr);
        hb_draw_funcs_make_immutable(f);
        return f;
    }();
    return funcs;
}

} // namespace

std::vector<TFontVariation> SVGParseFontVariations(const QString &value)
{
    std::vector<TFontVariation> out;
    const QString v = value.trimmed();
    if (v.isEmpty() || v == QLatin1String("normal"))
        return out;
    static const QRegularExpression item(
        QStringLiteral("^\\s*(['\"])([\\x20-\\x7e]{4})\\1\\s+([^\\s,]+)\\s*$"));
    const QStringList parts = v.split(QLatin1Char(','));
    if (parts.size() > kMaxVariationItems)
        return {};
    std::map<quint32, std::pair<qsizetype, float>> byTag;  // a tag named twice takes its last value
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QRegularExpressionMatch m = item.match(parts[i]);
        double number = 0;
        if (!m.hasMatch() || !TrySVGStrToFloat(m.captured(3), number) || !std::isfinite(number))
            return {};
        const QByteArray tag = m.captured(2).toLatin1();
        const quint32 t = quint32(quint8(tag[0])) << 24 | quint32(quint8(tag[1])) << 16 |
                          quint32(quint8(tag[2])) << 8 | quint32(quint8(tag[3]));
        byTag[t] = {i, float(number)};
    }
    std::vector<std::pair<qsizetype, TFontVariation>> ordered;
    for (const auto &[tag, at] : byTag)
        ordered.push_back({at.first, {tag, at.second}});
    std::sort(ordered.begin(), ordered.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[index, variation] : ordered)
        out.push_back(variation);
    return out;
}

float SVGParseFontStretch(const QString &value)
{
    static const std::pair<const char *, float> keywords[] = {
        {"ultra-condensed", 50}, {"extra-condensed", 62.5f}, {"condensed", 75},  {"semi-condensed", 87.5f},
        {"normal", 100},         {"semi-expanded", 112.5f},  {"expanded", 125},  {"extra-expanded", 150},
        {"ultra-expanded", 200},
    };
    const QString v = value.trimmed().toLower();
    for (const auto &[name, percent] : keywords)
        if (v == QLatin1String(name))
            return percent;
    double number = 0;
    if (v.endsWith(QLatin1Char('%')) && TrySVGStrToFloat(v.chopped(1), number) && std::isfinite(number) &&
        number >= 0)
        return float(number);
    return 100;
}

struct TFontInstance::TData {
    std::shared_ptr<hb_face_t> Face;  // keeps the file's data alive for Font
    std::unique_ptr<hb_font_t, TFontDeleter> Font;
    float Scale = 1;  // pixels per font unit
    float Shear = 0;
    bool Kerning = true;
    bool SmallCaps = false;
    bool Sbix = false;
    mutable QMutex Lock;
    mutable QHash<quint32, QPainterPath> Outlines;
    mutable QHash<quint32, std::shared_ptr<const TGlyphBitmap>> Bitmaps;
};

TFontInstance::TFontInstance(std::unique_ptr<TData> data) : FData(std::move(data)) {}

TFontInstance::~TFontInstance() = default;

std::shared_ptr<const TFontInstance> TFontInstance::Find(const QRawFont &raw, const TCanvasFont &font, float size)
{
    const bool variable = !raw.fontTable("fvar").isEmpty();
    if (!raw.isValid())
        return nullptr;
    TRegistry &r = Registry();
    QMutexLocker lock(&r.Lock);
    std::shared_ptr<hb_face_t> face = FaceOf(r, raw);
    // Small capitals the font draws itself need its smcp feature, which Qt 6.4 cannot ask
    // for; without it Qt's made-up small capitals stand in.
    if (!face || (!variable && !hb_ot_color_has_png(face.get()) &&
                  !(font.SmallCaps && HasFeature(face.get(), Tag("smcp")))))
        return nullptr;

    // The axes as CSS sets them, then the explicit settings over them.
    std::map<quint32, float> values;
    unsigned count = hb_ot_var_get_axis_count(face.get());
    std::vector<hb_ot_var_axis_info_t> axes(count);
    hb_ot_var_get_axis_infos(face.get(), 0, &count, axes.data());
    axes.resize(count);
    const auto has = [&](quint32 tag) {
        return std::any_of(axes.begin(), axes.end(), [&](const hb_ot_var_axis_info_t &a) { return a.tag == tag; });
    };
    values[Tag("wght")] = float(font.Weight > 0 ? std::clamp(font.Weight, 1, 1000) : font.Bold ? 700 : 400);
    values[Tag("wdth")] = font.Stretch;
    values[Tag("opsz")] = font.Size;
    float shear = 0;
    // Qt may stand in an upright face for an italic one; the face's header tells.
    const QByteArray head = raw.fontTable("head");
    const bool italicFace = head.size() >= 46 && (qFromBigEndian<quint16>(head.constData() + 44) & 2);
    if (font.Italic && !italicFace) {
        if (!font.Oblique && has(Tag("ital")))
            values[Tag("ital")] = 1;
        else if (has(Tag("slnt")))
            values[Tag("slnt")] = kObliqueSlant;
        else
            shear = kSyntheticShear;
    }
    for (const TFontVariation &v : font.Variations)
        values[v.Tag] = v.Value;
    std::vector<hb_variation_t> settings;
    QString key = QString::number(quintptr(face.get()), 16);
    for (const auto &[tag, value] : values) {
        if (!has(tag))
            continue;
        settings.push_back({tag, value});
        key += QLatin1Char(' ') + QString::number(tag, 16) + QLatin1Char('=') + QString::number(value);
    }
    key += QStringLiteral(" %1 %2 %3 %4")
               .arg(size)
               .arg(shear)
               .arg(font.Kerning ? 'k' : '-')
               .arg(font.SmallCaps ? 'c' : '-');
    if (auto it = r.Instances.find(key); it != r.Instances.end())
        if (auto alive = it->second.lock())
            return alive;

    auto d = std::make_unique<TData>();
    d->Face = face;
    d->Font.reset(hb_font_create(face.get()));
    const unsigned upem = std::max(1u, hb_face_get_upem(face.get()));
    hb_font_set_scale(d->Font.get(), int(upem), int(upem));
    hb_font_set_variations(d->Font.get(), settings.data(), unsigned(settings.size()));
    hb_font_make_immutable(d->Font.get());
    d->Scale = size / float(upem);
    d->Shear = shear;
    d->Kerning = font.Kerning;
    d->SmallCaps = font.SmallCaps;
    hb_blob_t *sbix = hb_face_reference_table(face.get(), Tag("sbix"));
    d->Sbix = hb_blob_get_length(sbix) > 0;
    hb_blob_destroy(sbix);
    std::shared_ptr<const TFontInstance> out(new TFontInstance(std::move(d)));
    if (r.Instances.size() >= kInstanceSweep)
        std::erase_if(r.Instances, [](const auto &entry) { return entry.second.expired(); });
    r.Instances[key] = out;
    return out;
}

std::vector<TShapedGlyph> TFontInstance::Shape(const QString &text) const
{
    std::vector<TShapedGlyph> out;
    if (text.isEmpty())
        return out;
    hb_buffer_t *buffer = hb_buffer_create();
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t *>(text.utf16()), int(text.size()), 0,
                        int(text.size()));
    hb_buffer_guess_segment_properties(buffer);
    std::vector<hb_feature_t> features;
    if (!FData->Kerning)
        features.push_back({Tag("kern"), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END});
    if (FData->SmallCaps)
        features.push_back({Tag("smcp"), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END});
    hb_shape(FData->Font.get(), buffer, features.data(), unsigned(features.size()));
    unsigned count = 0;
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer, &count);
    out.reserve(count);
    float pen = 0;
    for (unsigned i = 0; i < count; ++i) {
        const float k = FData->Scale;
        out.push_back({info[i].codepoint, qsizetype(info[i].cluster), pen + float(pos[i].x_offset) * k,
                       -float(pos[i].y_offset) * k, float(pos[i].x_advance) * k});
        pen += float(pos[i].x_advance) * k;
    }
    hb_buffer_destroy(buffer);
    return out;
}

QPainterPath TFontInstance::Outline(quint32 glyph) const
{
    QMutexLocker lock(&FData->Lock);
    if (auto it = FData->Outlines.constFind(glyph); it != FData->Outlines.constEnd())
        return *it;
    QPainterPath path;
    hb_font_get_glyph_shape(FData->Font.get(), glyph, PathDrawing(), &path);
    const float k = FData->Scale;
    // Font units have y up.
    path = QTransform(k, 0, FData->Shear * k, -k, 0, 0).map(path);
    FData->Outlines.insert(glyph, path);
    return path;
}

std::shared_ptr<const TGlyphBitmap> TFontInstance::Bitmap(quint32 glyph) const
{
    QMutexLocker lock(&FData->Lock);
    if (auto it = FData->Bitmaps.constFind(glyph); it != FData->Bitmaps.constEnd())
        return *it;
    std::shared_ptr<const TGlyphBitmap> out;
    // With no pixel size set, the largest picture a glyph has is taken.
    hb_blob_t *png = hb_ot_color_glyph_reference_png(FData->Font.get(), glyph);
    unsigned size = 0;
    const char *data = hb_blob_get_data(png, &size);
    hb_glyph_extents_t extents{};
    if (size > 0 && hb_font_get_glyph_extents(FData->Font.get(), glyph, &extents)) {
        QImage image = QImage::fromData(reinterpret_cast<const uchar *>(data), int(size), "PNG");
        const float k = FData->Scale;
        QRectF box(float(extents.x_bearing) * k, -float(extents.y_bearing) * k, float(extents.width) * k,
                   -float(extents.height) * k);
        // An sbix picture stands on the corner of its glyph's outline where the glyph has
        // one, as the format's makers draw it.
        if (FData->Sbix) {
            QPainterPath outline;
            hb_font_get_glyph_shape(FData->Font.get(), glyph, PathDrawing(), &outline);
            if (!outline.isEmpty())
                box.translate(outline.boundingRect().left() * k, -outline.boundingRect().top() * k);
        }
        if (!image.isNull() && box.isValid())
            out = std::make_shared<TGlyphBitmap>(
                TGlyphBitmap{image.convertToFormat(QImage::Format_ARGB32_Premultiplied), box});
    }
    hb_blob_destroy(png);
    FData->Bitmaps.insert(glyph, out);
    return out;
}
