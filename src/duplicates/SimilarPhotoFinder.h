#pragma once

#include <QObject>

// Finds look-alike photos by image feature distance.
// Created once by the app at start-up; its work arrives with the screens that use it.
class SimilarPhotoFinder : public QObject {
    Q_OBJECT
public:
    explicit SimilarPhotoFinder(QObject* parent = nullptr) : QObject(parent) {}
};
