#include "app/XMLSaveDoc.h"

#include "platform/ReplaceFile.h"
#include "platform/TextCodec.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(unsigned char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// The converter's tag and attribute names are fixed ASCII words.
void checkName(const std::string& name) {
    bool ok = !name.empty() && isNameStart(static_cast<unsigned char>(name[0]));
    for (unsigned char c : name)
        ok = ok && isNameChar(c);
    if (!ok)
        throw std::invalid_argument("invalid XML name: " + name);
}

void replaceAll(std::string& s, char what, const char* by) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == what)
            out += by;
        else
            out += c;
    }
    s.swap(out);
}

std::string errnoText() { return std::strerror(errno); }

} // namespace

std::string TXmlSaveDoc::Escape(const std::string& text) {
    if (text.find_first_of("&<>\"'") == std::string::npos)
        return text;
    // "&" goes first so that the references made by the later passes are
    // not escaped again; the input's own "&amp;" is escaped like any "&".
    std::string s = text;
    replaceAll(s, '&', "&amp;");
    replaceAll(s, '<', "&lt;");
    replaceAll(s, '>', "&gt;");
    replaceAll(s, '"', "&quot;");
    replaceAll(s, '\'', "&apos;");
    return s;
}

TXmlSaveDoc::TXmlSaveDoc(const std::string& version, const std::string& encoding, const std::string& standAlone) {
    spool_ = std::tmpfile();
    if (!spool_)
        throw EXmlSaveError("作業ファイルの作成に失敗しました。", errnoText());
    std::string decl = "<?xml version=\"" + Escape(version) + "\" encoding=\"" + Escape(encoding) + "\"";
    if (!standAlone.empty())
        decl += " standalone=\"" + Escape(standAlone) + "\"";
    decl += "?>\r\n";
    put(encode(decl));
}

TXmlSaveDoc::~TXmlSaveDoc() {
    if (spool_)
        std::fclose(spool_);
}

std::string TXmlSaveDoc::encode(const std::string& utf8) const {
    bool ascii = true;
    for (unsigned char c : utf8) {
        // Control characters other than tab and line ends cannot appear in
        // an XML document at all; a reader would reject the whole file.
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            throw EXmlSaveError("XMLに書き出せない制御文字が含まれています。", utf8);
        ascii = ascii && c < 0x80;
    }
    if (ascii)
        return utf8;
    std::string out;
    if (!platform::tryToCp932(utf8, out))
        throw EXmlSaveError("Shift_JISで書き出せない文字が含まれています。", utf8);
    return out;
}

void TXmlSaveDoc::put(const std::string& cp932) {
    buffer_ += cp932;
    if (buffer_.size() >= (1u << 20))
        flushBuffer();
}

void TXmlSaveDoc::flushBuffer() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), spool_) != buffer_.size())
        throw EXmlSaveError("作業ファイルへの書き込みに失敗しました。", errnoText());
    spooled_ += static_cast<long long>(buffer_.size());
    buffer_.clear();
}

TXmlSaveDoc::Checkpoint TXmlSaveDoc::MarkPosition() const {
    if (finished_)
        throw std::logic_error("XML document already saved");
    Checkpoint mark;
    mark.offset = spooled_ + static_cast<long long>(buffer_.size());
    mark.open = open_;
    mark.startTagOpen = startTagOpen_;
    return mark;
}

void TXmlSaveDoc::RollBack(const Checkpoint& mark) {
    if (finished_)
        throw std::logic_error("XML document already saved");
    if (mark.offset >= spooled_) {
        buffer_.resize(static_cast<std::size_t>(mark.offset - spooled_));
    } else {
        buffer_.clear();
        if (std::fflush(spool_) != 0 || ::ftruncate(::fileno(spool_), mark.offset) != 0 ||
            std::fseek(spool_, mark.offset, SEEK_SET) != 0)
            throw EXmlSaveError("作業ファイルへの書き込みに失敗しました。", errnoText());
        spooled_ = mark.offset;
    }
    open_ = mark.open;
    startTagOpen_ = mark.startTagOpen;
    // lastId_ keeps counting, so a handle from after the mark never names a
    // new element by accident.
}

void TXmlSaveDoc::closeStartTag() {
    if (startTagOpen_) {
        put(">");
        startTagOpen_ = false;
    }
}

void TXmlSaveDoc::closeDownTo(Node parent) {
    std::size_t keep = open_.size();
    while (keep > 0 && open_[keep - 1].id != parent)
        --keep;
    if (keep == 0)
        throw std::logic_error("XML element is no longer open");
    while (open_.size() > keep) {
        if (startTagOpen_) {
            put("/>");
            startTagOpen_ = false;
        } else {
            put("</" + open_.back().name + ">");
        }
        open_.pop_back();
    }
}

void TXmlSaveDoc::startElement(Node parent, const std::string& name, const std::string& attrName,
                               const std::string& attrValue) {
    if (finished_)
        throw std::logic_error("XML document already saved");
    checkName(name);
    if (!attrName.empty())
        checkName(attrName);
    // Encode everything before writing anything, so an unwritable text
    // leaves the spool as it was.
    std::string tag = "<" + name;
    if (!attrName.empty())
        tag += " " + attrName + "=\"" + encode(Escape(attrValue)) + "\"";
    if (parent != NoNode)
        closeDownTo(parent);
    closeStartTag();
    put(tag);
    startTagOpen_ = true;
    open_.push_back({++lastId_, name});
}

TXmlSaveDoc::Node TXmlSaveDoc::CreateRoot(const std::string& name, const std::string& namespaceUri) {
    if (lastId_ != 0)
        throw std::logic_error("XML document already has a root");
    std::string attr, value;
    if (!namespaceUri.empty()) {
        attr = "xmlns";
        value = namespaceUri;
    }
    startElement(NoNode, name, attr, value);
    return lastId_;
}

TXmlSaveDoc::Node TXmlSaveDoc::AddNode(Node parent, const std::string& name, const std::string& attrName,
                                       const std::string& attrValue) {
    if (open_.empty())
        throw std::logic_error("XML document has no root");
    startElement(parent == NoNode ? open_.front().id : parent, name, attrName, attrValue);
    return lastId_;
}

void TXmlSaveDoc::AddTextNode(Node parent, const std::string& name, const std::string& text,
                              const std::string& attrName, const std::string& attrValue) {
    if (parent == NoNode)
        throw std::logic_error("AddTextNode needs a parent");
    std::string content = encode(Escape(text));
    startElement(parent, name, attrName, attrValue);
    // An empty text still gives the element an (empty) content.
    closeStartTag();
    put(content);
    put("</" + name + ">");
    open_.pop_back();
}

void TXmlSaveDoc::finish() {
    if (finished_)
        return;
    if (open_.empty())
        throw std::logic_error("XML document has no root");
    closeDownTo(open_.front().id);
    if (startTagOpen_)
        put("/>");
    else
        put("</" + open_.front().name + ">");
    startTagOpen_ = false;
    open_.clear();
    put("\r\n");
    flushBuffer();
    if (std::fflush(spool_) != 0)
        throw EXmlSaveError("作業ファイルへの書き込みに失敗しました。", errnoText());
    finished_ = true;
}

void TXmlSaveDoc::SaveToFile(const std::string& fileName) {
    finish();
    // Through a link, the file it names is the one replaced.
    std::error_code ec;
    platform::ReplaceFile out(platform::linkedFile(fileName, ec));
    auto fail = [&](const std::string& what, int err) {
        throw EXmlSaveError(what, fileName + "\r" + std::strerror(err));
    };
    if (!out.ok())
        fail("ファイルの作成に失敗しました。", out.error());

    // The kernel copies the spool when it can; plain reads and writes else.
    std::fseek(spool_, 0, SEEK_END);
    long size = std::ftell(spool_);
    off_t offset = 0;
    while (size >= 0 && offset < size) {
        ssize_t w = ::sendfile(out.fd(), ::fileno(spool_), &offset, static_cast<std::size_t>(size - offset));
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && offset == 0 && (errno == EINVAL || errno == ENOSYS))
            break;
        if (w <= 0)
            fail("ファイルの書き込みに失敗しました。", errno);
    }
    const bool copied = size >= 0 && offset == size;
    std::rewind(spool_);
    char buf[1 << 16];
    std::size_t n;
    while (!copied && (n = std::fread(buf, 1, sizeof buf, spool_)) > 0)
        if (!out.write(buf, n))
            fail("ファイルの書き込みに失敗しました。", out.error());
    if (std::ferror(spool_))
        fail("作業ファイルの読み込みに失敗しました。", errno);
    if (::fsync(out.fd()) != 0)
        fail("ファイルの書き込みに失敗しました。", errno);
    if (!out.commit(true))
        fail("ファイルの保存に失敗しました。", out.error());
}
