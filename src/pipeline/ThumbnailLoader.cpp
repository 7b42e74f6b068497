#include "pipeline/ThumbnailLoader.h"

#include "exiftool/FileStamp.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/Thumbnail.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

struct ThumbnailLoader::Private {
    struct Job {
        QString photo;
        QSize box;
        FileStamp stamp;
        bool done = false;
        bool delivered = false;
        QImage image;
        QPointer<QFutureWatcherBase> watcher;
        int exifToolRequest = 0;
    };

    ThumbnailLoader *q;
    QPointer<ExifToolService> service;
    std::shared_ptr<Job> wanted;
    std::shared_ptr<Job> ahead;

    bool same(const std::shared_ptr<Job> &job, const QString &photo, const QSize &box, const FileStamp &stamp) const
    {
        return job && job->photo == photo && job->box == box && job->stamp == stamp;
    }

    void drop(std::shared_ptr<Job> &job)
    {
        if (!job)
            return;
        // A decoding already running cannot be stopped; its result finds nobody to take it.
        if (job->watcher) {
            job->watcher->disconnect(q);
            job->watcher->deleteLater();
        }
        if (job->exifToolRequest && service)
            service->cancel(job->exifToolRequest);
        job.reset();
    }

    // What a decoding on the pool brings back: the picture, or word that Qt has no reader for
    // the photo and ExifTool is to hand over its previews.
    struct Decoded {
        QImage image;
        bool wantsPreviews = false;
    };

    void start(const std::shared_ptr<Job> &job)
    {
        const QString photo = job->photo;
        const QSize box = job->box;
        const bool previewsAvailable = !service.isNull();
        // Which formats Qt reads is found out on the pool too: asking loads every image-format
        // plugin, which would hold up the window just before it fills its list.
        decode(job, [photo, box, previewsAvailable] {
            if (previewsAvailable && !Thumbnail::qtDecodes(photo))
                return Decoded{QImage(), true};
            return Decoded{Thumbnail::make(photo, box), false};
        });
    }

    template <typename Work> void decode(const std::shared_ptr<Job> &job, Work work)
    {
        auto *watcher = new QFutureWatcher<Decoded>(q);
        job->watcher = watcher;
        const std::weak_ptr<Job> weak = job;
        QObject::connect(watcher, &QFutureWatcherBase::finished, q, [this, watcher, weak] {
            watcher->deleteLater();
            if (const std::shared_ptr<Job> job = weak.lock())
                decoded(job, watcher->result());
        });
        watcher->setFuture(QtConcurrent::run(work));
    }

    void decoded(const std::shared_ptr<Job> &job, const Decoded &result)
    {
        job->watcher = nullptr;
        if (!result.wantsPreviews || !service) {
            finished(job, result.image);
            return;
        }
        // Behind the report the user waits for, and without the busy pointer.
        job->exifToolRequest =
            service->request(ExifToolJob::asking({ExifToolAsk::Kind::Previews, job->photo, QString()}, true));
    }

    void exifToolFinished(int id, const ExifToolOutcome &outcome)
    {
        for (const std::shared_ptr<Job> &job : {wanted, ahead}) {
            if (!job || job->exifToolRequest != id)
                continue;
            job->exifToolRequest = 0;
            const QString photo = job->photo;
            const QSize box = job->box;
            const QByteArray answer = outcome.output;
            // Where no preview decodes, Qt still tries the file itself, as for every photo.
            decode(job, [photo, box, answer] {
                const QImage preview = Thumbnail::fromPreviews(answer, box);
                return Decoded{preview.isNull() ? Thumbnail::make(photo, box) : preview, false};
            });
            return;
        }
    }

    void finished(const std::shared_ptr<Job> &job, const QImage &image)
    {
        job->done = true;
        job->image = image;
        if (job == wanted)
            deliver();
    }

    void deliver()
    {
        const std::shared_ptr<Job> job = wanted;
        if (!job || !job->done || job->delivered)
            return;
        job->delivered = true;
        emit q->ready(job->photo, job->image);
    }
};

ThumbnailLoader::ThumbnailLoader(ExifToolService *service, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->service = service;
    if (service)
        connect(service, &ExifToolService::finished, this,
                [this](int id, const ExifToolOutcome &outcome) { d->exifToolFinished(id, outcome); });
}

ThumbnailLoader::~ThumbnailLoader()
{
    d->drop(d->wanted);
    d->drop(d->ahead);
}

void ThumbnailLoader::request(const QString &photo, const QSize &box)
{
    const FileStamp stamp = FileStamp::of(photo);
    if (d->same(d->wanted, photo, box, stamp)) {
        if (!d->wanted->delivered && d->wanted->done)
            return; // on its way already
        d->wanted->delivered = false;
    } else if (d->same(d->ahead, photo, box, stamp)) {
        d->drop(d->wanted);
        d->wanted = std::move(d->ahead);
    } else {
        d->drop(d->wanted);
        d->wanted = std::make_shared<Private::Job>();
        d->wanted->photo = photo;
        d->wanted->box = box;
        d->wanted->stamp = stamp;
        d->start(d->wanted);
        return;
    }
    if (d->wanted->done) {
        // Never from inside the call, however soon the picture is there.
        const std::weak_ptr<Private::Job> weak = d->wanted;
        QMetaObject::invokeMethod(
            this,
            [this, weak] {
                if (weak.lock() == d->wanted)
                    d->deliver();
            },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::prepare(const QString &photo, const QSize &box)
{
    const FileStamp stamp = FileStamp::of(photo);
    if (d->same(d->ahead, photo, box, stamp) || d->same(d->wanted, photo, box, stamp))
        return;
    d->drop(d->ahead);
    if (photo.isEmpty())
        return;
    d->ahead = std::make_shared<Private::Job>();
    d->ahead->photo = photo;
    d->ahead->box = box;
    d->ahead->stamp = stamp;
    d->start(d->ahead);
}

void ThumbnailLoader::cancel()
{
    d->drop(d->wanted);
}
