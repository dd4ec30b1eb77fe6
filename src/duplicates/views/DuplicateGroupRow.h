#pragma once

#include "duplicates/DuplicateGroup.h"

#include <functional>
#include <optional>
#include <QAbstractButton>

class QPushButton;
class QLabel;
class DuplicateTile;

// One exact-duplicate group in the list: a caption with the copy count and size, a sideways
// scrolling row of one tile per copy, and "Keep selected, trash the rest". Clicking a tile makes
// that copy the keeper (outlined in green, "Keeping this one"), as Space or Return on a focused
// tile and a tile's accessible "Press" do; choosing another moves the choice; nothing clears it.
// The button works once a keeper is chosen and hands it to onKeep; the row itself changes no file.
// Its keeper starts empty whenever the row is made.
class DuplicateGroupRow : public QWidget {
    Q_OBJECT
public:
    using OnKeep = std::function<void(const QString& keep)>;

    DuplicateGroupRow(const DuplicateGroup& group, OnKeep onKeep, QWidget* parent = nullptr);

    const DuplicateGroup& group() const { return m_group; }
    const std::optional<QString>& keeper() const { return m_keeper; }
    // Makes the copy at this path the keeper (as a click on its tile does).
    void choose(const QString& path);

private:
    DuplicateGroup m_group;
    OnKeep m_onKeep;
    std::optional<QString> m_keeper;
    QLabel* m_header;
    QLabel* m_frees;
    QPushButton* m_keep;
    QList<DuplicateTile*> m_tiles;
};

// One copy of a group: a 140 × 90 thumbnail (the picture when the file is one, else a document
// symbol), the full path on up to three lines, the creation date when the file system keeps
// one, and for the keeper a green outline and "Keeping this one". 160 points wide.
//
// The tile is the button that chooses its copy: named by its path, it reads as a radio button
// checked while its copy is the keeper. It never checks itself; the row does.
class DuplicateTile : public QAbstractButton {
    Q_OBJECT
public:
    DuplicateTile(const QString& path, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    bool isKeeper() const { return isChecked(); }
    void setKeeper(bool keeper);
    bool hasThumbnail() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {} // the row decides

private:
    QString m_path;
    class PhotoPicture* m_thumb;
    QWidget* m_keeping;
};
