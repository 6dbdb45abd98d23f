#include "rtfencodedimagecache.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <deque>

namespace {

struct Cache
{
    QMutex mutex;
    QHash<qint64, QByteArray> data;
    std::deque<qint64> order; // oldest first
    qint64 bytes = 0;
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

} // namespace

void RtfEncodedImageCache::remember(const QImage &image, const QByteArray &png)
{
    if (image.isNull() || png.size() < minBytes || png.size() > maxBytes)
        return;
    Cache &c = cache();
    QMutexLocker lock(&c.mutex);
    const qint64 key = image.cacheKey();
    if (c.data.contains(key))
        return;
    while (c.bytes + png.size() > maxBytes && !c.order.empty()) {
        c.bytes -= c.data.take(c.order.front()).size();
        c.order.pop_front();
    }
    c.data.insert(key, png);
    c.order.push_back(key);
    c.bytes += png.size();
}

QByteArray RtfEncodedImageCache::find(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    Cache &c = cache();
    QMutexLocker lock(&c.mutex);
    return c.data.value(image.cacheKey());
}
