#include "mbm/png_export.h"

#include "jobs/atomic_write.h"
#include "mbm/icon_pairs.h"
#include "mbm/phone_view.h"
#include "mbm/picture_conversion.h"

#include <QBuffer>
#include <QDir>

std::vector<PngJob> pngJobs(const ProjectList& list, const IconPairs& pairs,
                            const std::vector<int>& rows) {
    std::vector<char> chosen(size_t(list.count()), 0);
    for (int r : rows)
        if (r >= 0 && r < list.count()) chosen[size_t(r)] = 1;
    std::vector<PngJob> jobs;
    for (int r = 0; r < list.count(); ++r) {
        if (!chosen[size_t(r)]) continue;
        const int icon = pairs.iconOf(r);
        if (icon >= 0 && chosen[size_t(icon)]) continue; // written as its icon's alpha
        const BitmapEntry& e = list.at(r);
        PngJob job{e.dir + e.name, e.colour, {}, {}, e.name};
        if (const int mask = pairs.maskOf(r); mask >= 0) {
            job.maskPath = list.at(mask).dir + list.at(mask).name;
            job.maskColour = list.at(mask).colour;
        }
        jobs.push_back(job);
    }
    return jobs;
}

static Status writePng(const PngJob& job, const QString& target, bool whiteWhereDrawn) {
    QImage picture;
    if (Status s = storedPicture(job.path, job.colour, picture); !s) return s;
    if (!job.maskPath.isEmpty()) {
        QImage mask;
        if (Status s = storedPicture(job.maskPath, job.maskColour, mask); !s) return s;
        picture = withAlpha(picture, maskAlpha(mask, job.maskColour, whiteWhereDrawn));
        if (picture.isNull())
            return Status::failure(QStringLiteral("The mask of %1 is not the size of its icon.")
                                       .arg(QDir::toNativeSeparators(job.path)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return Status::failure(QStringLiteral("%1 could not be encoded as PNG.")
                                   .arg(QDir::toNativeSeparators(job.path)));
    return writeFileAtomically(target, bytes);
}

QStringList savePngs(const std::vector<PngJob>& jobs, const QString& folder, bool whiteWhereDrawn) {
    QStringList failures;
    for (const PngJob& job : jobs) {
        const QString target = folder + convertedName(job.name, QStringLiteral("png"));
        if (Status s = writePng(job, target, whiteWhereDrawn); !s) failures << s.error;
    }
    return failures;
}
