#pragma once

class QImage;

// What receives the pictures of thumbnail work items: the file list. Called
// on the UI thread only.
class IThumbnailViewer
{
public:
    // A picture for the placeholder at `imageIndex` of the viewer's thumbnail
    // images; a null image when none could be made.
    virtual void ThumbnailReady(const QImage& picture, int imageIndex) = 0;

protected:
    ~IThumbnailViewer() = default;
};
