#include "assistant/SpotlightSearch.h"
#include "platform/NativePath.h"

#include "platform/DirectoryWalker.h"
#include "platform/DisplayText.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QSignalBlocker>
#include <QTextBoundaryFinder>
#include <string>
#include <unistd.h>

namespace {

using FileKind = SpotlightSearch::FileKind;

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

bool isAsciiText(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Extensions, lower case, by kind. The text ones are also the files whose contents are read.
const QSet<QString>& extensions(FileKind kind) {
    static const QSet<QString> image = {
        "jpg", "jpeg", "png", "gif", "heic", "heif", "webp", "tif", "tiff", "bmp", "svg", "avif",
        "jxl", "ico",  "psd", "raw", "dng",  "cr2",  "cr3",  "nef", "arw",  "orf", "rw2", "xcf"};
    static const QSet<QString> movie = {"mp4",  "mov", "m4v", "mkv", "avi", "webm", "mpg",
                                        "mpeg", "wmv", "flv", "3gp", "ogv", "mts",  "m2ts"};
    static const QSet<QString> pdf = {"pdf"};
    static const QSet<QString> audio = {"mp3",  "m4a", "aac",  "wav", "flac", "ogg",  "oga",
                                        "opus", "aif", "aiff", "wma", "mid",  "midi", "m4b"};
    static const QSet<QString> content = [] {
        QSet<QString> all = image + movie + pdf + audio;
        all += {"txt",  "md",   "markdown", "rtf",  "doc",   "docx",    "odt", "ods", "odp",
                "xls",  "xlsx", "ppt",      "pptx", "pages", "numbers", "key", "csv", "tsv",
                "html", "htm",  "xml",      "json", "epub",  "tex",     "log", "org", "rst"};
        return all;
    }();
    switch (kind) {
    case FileKind::Image:
        return image;
    case FileKind::Movie:
        return movie;
    case FileKind::Pdf:
        return pdf;
    case FileKind::Audio:
        return audio;
    case FileKind::Content:
        break;
    }
    return content;
}

// Files whose contents a search reads: plain text of one kind or another.
bool isTextFile(std::string_view name) {
    static const QSet<QByteArray> text = {
        "txt", "md",  "markdown", "csv", "tsv",  "json", "xml", "html", "htm", "log", "org",
        "rst", "tex", "ini",      "cfg", "conf", "yaml", "yml", "toml", "sh",  "py",  "c",
        "h",   "cc",  "cpp",      "hpp", "js",   "ts",   "css", "java", "go",  "rs",  "rb",
        "pl",  "php", "sql",      "srt", "vtt",  "ics",  "vcf", "eml",  "nfo"};
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > 9)
        return false;
    QByteArray ext(name.data() + dot + 1, qsizetype(name.size() - dot - 1));
    for (char& c : ext)
        c = asciiLower(c);
    return text.contains(ext);
}

// The search terms as compared: folded, and as bytes for the fast path over ASCII names.
struct Needles {
    QStringList folded;
    std::vector<std::string> ascii; // the folded terms that are ASCII
    bool allAscii = true;

    explicit Needles(const QStringList& terms) {
        for (const QString& t : terms) {
            const QString f = SpotlightSearch::fold(t);
            if (f.isEmpty())
                continue;
            folded.append(f);
            if (isAsciiText(f))
                ascii.push_back(f.toStdString());
            else
                allAscii = false;
        }
    }

    bool inFolded(const QString& text) const {
        return std::any_of(folded.cbegin(), folded.cend(),
                           [&text](const QString& t) { return text.contains(t); });
    }

    // Whether the text (bytes in UTF-8) holds a term.
    bool in(std::string_view bytes, std::string& scratch) const {
        if (folded.isEmpty())
            return false;
        if (isAscii(bytes)) {
            scratch.assign(bytes.data(), bytes.size());
            for (char& c : scratch)
                c = asciiLower(c);
            return std::any_of(ascii.cbegin(), ascii.cend(), [&scratch](const std::string& t) {
                return scratch.find(t) != std::string::npos;
            });
        }
        return inFolded(
            SpotlightSearch::fold(QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))));
    }
};

// Reads a small file whole without moving its access time (RegularFile::openForReading);
// nothing for a file that cannot be read.
std::optional<std::string> readSmall(const std::string& path, qint64 size) {
    const int fd =
        RegularFile::openForReading(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string bytes(size_t(size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

struct Candidate {
    qint64 modified = 0;
    std::string path;
};

bool newerFirst(const Candidate& a, const Candidate& b) {
    if (a.modified != b.modified)
        return a.modified > b.modified;
    return a.path < b.path;
}

void keepNewest(std::vector<Candidate>& list, size_t count) {
    if (list.size() <= count)
        return;
    std::nth_element(list.begin(), list.begin() + qsizetype(count), list.end(), newerFirst);
    list.resize(count);
}

struct Slot {
    std::vector<Candidate> newest;
    std::vector<QString> all;
    qint64 matched = 0;
    qint64 seen = 0;
    std::string scratch;
};

} // namespace

QString SpotlightSearch::nothingToSearchMessage() {
    return QStringLiteral("Describe what you are looking for in a few words.");
}

SpotlightSearch::SpotlightSearch(const QString& root, QObject* parent)
    : SpotlightSearch(root, Limits(), parent) {}

SpotlightSearch::SpotlightSearch(const QString& root, Limits limits, QObject* parent)
    : QObject(parent), m_root(root), m_limits(limits),
      m_scan(this,
             [](const Request& r, const auto& run) {
                 if (r.beforeWalk)
                     r.beforeWalk();
                 return find(r.root, r.query, r.limits, run.cancel(), r.threads);
             },
             {{},
              [this](Found found) {
                  apply(std::move(found));
                  return std::nullopt;
              },
              [this] { emit stateChanged(); }}) {}

SpotlightSearch::~SpotlightSearch() = default;

SpotlightSearch::State SpotlightSearch::state() const {
    return m_refusal ? State::failed(*m_refusal) : m_scan.state();
}

void SpotlightSearch::changing(const std::function<void()>& change) {
    const State before = state();
    {
        const QSignalBlocker quiet(this);
        change();
    }
    if (state() != before)
        emit stateChanged();
}

void SpotlightSearch::search(const QString& description) {
    if (m_lastQuery != description) {
        m_lastQuery = description;
        emit lastQueryChanged();
    }
    const std::optional<Query> query = parse(description);
    if (!query) {
        changing([this] {
            m_refusal = nothingToSearchMessage();
            m_scan.cancel();
        });
        return;
    }
    changing([&] {
        m_refusal.reset();
        m_scan.start({m_root, *query, m_limits, m_threads, m_beforeWalk});
    });
    m_partial = false;
    if (!m_results.isEmpty()) {
        m_results.clear();
        emit resultsChanged();
    }
}

void SpotlightSearch::clear() {
    changing([this] {
        m_refusal.reset();
        m_scan.cancel();
    });
    m_partial = false;
    if (!m_results.isEmpty()) {
        m_results.clear();
        emit resultsChanged();
    }
    if (!m_lastQuery.isEmpty()) {
        m_lastQuery.clear();
        emit lastQueryChanged();
    }
}

// Before the slot turns Done, so a screen that follows the state finds the hits in place.
void SpotlightSearch::apply(Found found) {
    m_results = std::move(found.hits);
    m_partial = found.limited;
    emit resultsChanged();
}

const QSet<QString>& SpotlightSearch::stopWords() {
    static const QSet<QString> words = {
        "a",        "an",        "the",      "that",  "this",   "with",  "about",  "from",
        "in",       "on",        "of",       "my",    "file",   "files", "find",   "me",
        "show",     "it",        "is",       "was",   "has",    "and",   "or",     "photo",
        "photos",   "picture",   "pictures", "image", "images", "video", "videos", "pdf",
        "document", "documents", "movie",    "song",  "music"};
    return words;
}

const QList<SpotlightSearch::KindWords>& SpotlightSearch::kindWords() {
    static const QList<KindWords> rows = {
        {{"photo", "photos", "picture", "pictures", "image", "images", "screenshot"},
         FileKind::Image},
        {{"video", "videos", "movie", "movies", "clip"}, FileKind::Movie},
        {{"pdf"}, FileKind::Pdf},
        {{"song", "songs", "music", "audio"}, FileKind::Audio},
        {{"document", "documents", "doc", "word"}, FileKind::Content},
    };
    return rows;
}

QStringList SpotlightSearch::words(const QString& description) {
    const QString lower = description.toLower();
    QStringList out;
    QString word;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, lower);
    qsizetype start = 0;
    while (finder.toNextBoundary() > 0) {
        const qsizetype end = finder.position();
        const QStringView cluster = QStringView(lower).mid(start, end - start);
        start = end;
        const char32_t first = cluster.toUcs4().value(0);
        if (QChar::isLetterOrNumber(first)) {
            word += cluster;
        } else if (!word.isEmpty()) {
            out.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        out.append(word);
    return out;
}

QStringList SpotlightSearch::allTerms(const QStringList& words) {
    QStringList terms;
    const auto add = [&terms](const QString& term) {
        if (!terms.contains(term))
            terms.append(term);
    };
    for (const QString& word : words) {
        if (stopWords().contains(word))
            continue;
        const int length = int(DisplayText::perceivedLength(word));
        if (length < 2)
            continue;
        add(word);
        if (word.endsWith(QLatin1Char('s')) && length >= 4)
            add(word.chopped(1));
        else
            add(word + QLatin1Char('s'));
    }
    return terms;
}

std::optional<SpotlightSearch::FileKind> SpotlightSearch::kindOf(const QStringList& words) {
    for (const KindWords& row : kindWords()) {
        for (const QString& w : row.words) {
            if (words.contains(w))
                return row.kind;
        }
    }
    return std::nullopt;
}

std::optional<SpotlightSearch::Query> SpotlightSearch::parse(const QString& description) {
    const QStringList all = words(description);
    Query query{allTerms(all).mid(0, kMaxTerms), kindOf(all)};
    if (query.terms.isEmpty() && !query.kind)
        return std::nullopt;
    return query;
}

bool SpotlightSearch::isOfKind(QStringView fileName, FileKind kind) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == fileName.size() - 1)
        return false;
    return extensions(kind).contains(fileName.mid(dot + 1).toString().toLower());
}

QString SpotlightSearch::fold(QStringView text) {
    if (isAsciiText(text.toString()))
        return text.toString().toLower();
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    }
    return out.toCaseFolded();
}

SpotlightSearch::Found SpotlightSearch::find(const QString& root, const Query& query,
                                             const Limits& limits, const CancelToken& cancel,
                                             int threads, bool keepAll) {
    const Needles needles(query.terms);
    // The walk stops at the caller's cancel or at a limit, both through its own token.
    const CancelToken stop;
    std::atomic_bool limited = false;
    std::atomic<qint64> textBudget = limits.maxTotalTextBytes;
    QElapsedTimer clock;
    clock.start();

    DirectoryWalker::Options options;
    options.threads = threads > 0 ? threads : ParallelLoop::diskThreads();
    const DirectoryWalker walker(options, stop);
    PerWorker<Slot> workers(walker.threads());

    const auto visit = [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        if (e.isHidden())
            return DirectoryWalker::Action::SkipChildren;
        Slot& slot = workers.slot(e.worker);
        // The limits, checked every so often: the clock costs more than a visit.
        if ((++slot.seen & 63) == 0) {
            if (cancel.isCancelled())
                stop.cancel();
            if (clock.elapsed() >= limits.maxMilliseconds) {
                limited = true;
                stop.cancel();
            }
        }
        const std::string_view name = e.name;
        const bool file = e.isFile();
        if (query.kind) {
            if (!file ||
                !isOfKind(QString::fromUtf8(name.data(), qsizetype(name.size())), *query.kind))
                return DirectoryWalker::Action::Continue;
        }
        bool hit = query.terms.isEmpty() || needles.in(name, slot.scratch);
        std::string path;
        if (!hit && file && e.sizeBytes > 0 && e.sizeBytes <= limits.maxTextBytes &&
            isTextFile(name)) {
            if (textBudget.fetch_sub(e.sizeBytes, std::memory_order_relaxed) >= e.sizeBytes) {
                path.assign(e.folder).append("/").append(name);
                if (const std::optional<std::string> text = readSmall(path, e.sizeBytes);
                    text && text->find('\0') == std::string::npos)
                    hit = needles.in(*text, slot.scratch);
            } else {
                limited = true; // contents left unread: what they hold was not searched
            }
        }
        if (!hit)
            return DirectoryWalker::Action::Continue;
        if (path.empty())
            path.assign(e.folder).append("/").append(name);
        ++slot.matched;
        if (keepAll)
            slot.all.push_back(NativePath::decode(QByteArray::fromStdString(path)));
        slot.newest.push_back({e.modifyTime, std::move(path)});
        if (slot.newest.size() >= 8 * size_t(kMaxHits))
            keepNewest(slot.newest, kMaxHits);
        return DirectoryWalker::Action::Continue;
    };
    const DirectoryWalker::Result walked = walker.walk(root, visit);

    Found found;
    found.cancelled = cancel.isCancelled();
    found.limited = limited.load() && !found.cancelled;
    std::vector<Candidate> newest;
    for (int w = 0; w < walker.threads(); ++w) {
        Slot& s = workers.slot(w);
        found.matched += s.matched;
        std::move(s.newest.begin(), s.newest.end(), std::back_inserter(newest));
        std::move(s.all.begin(), s.all.end(), std::back_inserter(found.all));
    }
    Q_UNUSED(walked);
    keepNewest(newest, kMaxHits);
    std::sort(newest.begin(), newest.end(), newerFirst);
    for (const Candidate& c : newest)
        found.hits.append(SearchHit{QUuid::createUuid(), QUrl::fromLocalFile(NativePath::decode(
                                                             QByteArray::fromStdString(c.path)))});
    return found;
}
