#pragma once

#include <optional>
#include <QString>
#include <vector>

class QImage;

// A compact description of what a photo shows, for telling look-alike photos from different
// ones: two prints of the same scene lie close together, whatever the size, the compression or a
// slight change of exposure of the file, and prints of different scenes lie far apart.
//
// The print is made from a small decode of the photo: the layout of its brightness on a 16 × 16
// grid with the mean taken out and the contrast normalised (so exposure and size drop out), and
// its colour on an 8 × 8 grid. The distance between two prints is the Euclidean one; for the
// photos it was calibrated on, resized, re-encoded and slightly brightened copies stay below
// 0.2 and different scenes above 0.5, so a threshold of 0.35 separates them with room on both
// sides. A print of a flat picture (one colour) carries its colour alone. A picture with
// transparency is printed as it is seen, over a mid-grey ground: what its clear parts hold (often
// one colour for the whole picture) does not count, and its shapes do.
class FeaturePrint {
public:
    FeaturePrint() = default;
    explicit FeaturePrint(std::vector<float> values) : m_values(std::move(values)) {}

    // The print of a photo file read through PhotoImage; nothing when it cannot be decoded.
    static std::optional<FeaturePrint> ofFile(const QString& path);
    // The print of a decoded picture; nothing for a null image.
    static std::optional<FeaturePrint> ofImage(const QImage& image);

    // Nothing when either print is empty or they have different lengths (they were not made the
    // same way), which callers count as "no match".
    std::optional<float> distance(const FeaturePrint& other) const;

    bool isEmpty() const { return m_values.empty(); }
    const std::vector<float>& values() const { return m_values; }

    // The longest side the photo is decoded at before the print is made.
    static constexpr int decodeBound = 192;

private:
    std::vector<float> m_values;
};
