#include "marqueta/ui/RowPictures.h"

#include <algorithm>

#include <QThread>

#include "marqueta/ui/PictureFile.h"

namespace {

// What an entry costs beside its pixels: its path, its record and the cache's own bookkeeping.
constexpr qsizetype kEntryBytes = 512;

QByteArray KeyOf(const std::string& path) { return QByteArray(path.data(), static_cast<qsizetype>(path.size())); }

}  // namespace

RowPictures::RowPictures(QSize box, QObject* parent) : QObject(parent), box_(box) {
    // Two threads: enough to keep up with scrolling without taking the machine from the window.
    pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 2));
}

RowPictures::~RowPictures() {
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    pool_.waitForDone();
}

const RowPicture* RowPictures::find(const std::string& path) { return cache_.object(KeyOf(path)); }

void RowPictures::want(const std::vector<std::string>& paths, bool recheck) {
    const std::lock_guard lock(mutex_);
    queue_.clear();
    std::set<std::string> asked;
    for (const std::string& path : paths) {
        if (path.empty() || taken_.count(path) || !asked.insert(path).second) continue;
        const RowPicture* known = cache_.object(KeyOf(path));
        if (known && !recheck) continue;
        queue_.push_back(Job{path, known != nullptr, known ? known->stamp : platform::FileStamp{}});
    }
    startRunners();
}

void RowPictures::startRunners() {
    while (runners_ < pool_.maxThreadCount() && static_cast<std::size_t>(runners_) < queue_.size()) {
        ++runners_;
        pool_.start([this] { run(); });
    }
}

void RowPictures::run() {
    for (;;) {
        Job job;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                --runners_;
                return;
            }
            job = std::move(queue_.front());
            queue_.pop_front();
            taken_.insert(job.path);
        }
        // Handed over through the event loop; dropped with this object if it goes first.
        QMetaObject::invokeMethod(this, [this, result = read(job)] { finished(result); }, Qt::QueuedConnection);
    }
}

// The stamp is taken before the bytes: a file that changes while it is read differs from the
// stamp kept with its picture and is read again at the next check.
RowPictures::Result RowPictures::read(const Job& job) const {
    Result result;
    result.path = job.path;
    result.stamp = platform::StampOf(job.path);
    if (job.known && result.stamp == job.stamp) {
        result.unchanged = true;
        return result;
    }
    if (!result.stamp.exists) return result;
    const Picture picture = ReadPicture(job.path, box_);
    result.image = picture.image;
    result.size = picture.size;
    return result;
}

void RowPictures::finished(const Result& result) {
    {
        const std::lock_guard lock(mutex_);
        taken_.erase(result.path);
    }
    if (result.unchanged) return;
    auto* entry = new RowPicture{QPixmap::fromImage(result.image), result.size, result.stamp};
    const QByteArray key = KeyOf(result.path);
    cache_.insert(key, entry, result.image.sizeInBytes() + kEntryBytes);
    emit pictureRead(key);
}
