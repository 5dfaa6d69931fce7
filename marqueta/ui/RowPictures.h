#pragma once
// The pictures the list shows at the start of its rows: read and scaled once by a small pool of
// threads, kept in a cache of bounded size, and read again when their file changed. The
// interface thread only asks and draws; it never waits for a file.
#include <cstddef>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QThreadPool>

#include "platform/SafeWrite.h"

// What is known of one picture file.
struct RowPicture {
    QPixmap pixmap;  // fitted to the box; null when the file gives no picture
    QSize size;      // the picture's own size
    platform::FileStamp stamp;  // the file as it was read
};

class RowPictures : public QObject {
    Q_OBJECT
public:
    // The cache holds about this many bytes of pictures.
    static constexpr qsizetype kCacheBytes = qsizetype{64} << 20;

    // Pictures are fitted to box.
    explicit RowPictures(QSize box, QObject* parent = nullptr);
    // Drops the reads not yet begun and waits for those under way.
    ~RowPictures() override;

    // The picture of the file at path, or null while it has not been read.
    const RowPicture* find(const std::string& path);

    // Reads the pictures of these files that are not known yet, in this order; with recheck, also
    // those known, when their file changed since. Reads asked for earlier and not yet begun are
    // dropped: only the latest rows are wanted.
    void want(const std::vector<std::string>& paths, bool recheck = false);

    // Bytes of pictures held.
    qsizetype cachedBytes() const { return cache_.totalCost(); }

signals:
    // The picture of the file at path is known now, or changed.
    void pictureRead(const QByteArray& path);

private:
    struct Job {
        std::string path;
        bool known = false;
        platform::FileStamp stamp;  // of the known picture
    };
    struct Result {
        std::string path;
        bool unchanged = false;
        QImage image;
        QSize size;
        platform::FileStamp stamp;
    };

    void startRunners();   // under mutex_
    void run();            // on a pool thread
    Result read(const Job& job) const;
    void finished(const Result& result);

    const QSize box_;
    QCache<QByteArray, RowPicture> cache_{kCacheBytes};
    QThreadPool pool_;

    std::mutex mutex_;
    std::deque<Job> queue_;        // not yet begun
    std::set<std::string> taken_;  // begun, or finished and not yet handed over
    int runners_ = 0;
};
