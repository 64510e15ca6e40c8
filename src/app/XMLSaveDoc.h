#pragma once
// The writer of the intermediate file. It streams: elements are written as
// they are added, into a spool file, and SaveToFile puts the finished
// document in place in one step (a temporary file beside the target that is
// renamed over it), so an interrupted save never leaves a half-written file
// under the chosen name and a document of any size needs no tree in memory.
//
// Texts are UTF-8; the file is CP932 as its Shift_JIS declaration says. A
// text with a character that has no Shift_JIS form is an error
// (EXmlSaveError), never written as a substitute character.
//
// Because it streams, an element can take children only while it is still
// open: adding under a parent closes every element opened after that parent,
// and adding under an element that was closed that way is a logic error.
// The converter always builds in document order.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

class EXmlSaveError : public std::runtime_error {
public:
    EXmlSaveError(const std::string& message, std::string detail)
        : std::runtime_error(message), detail_(std::move(detail)) {}
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

class TXmlSaveDoc {
public:
    // A handle on an element of the document; 0 is "none".
    using Node = int;

private:
    struct Open {
        Node id;
        std::string name; // CP932
    };

public:
    static constexpr Node NoNode = 0;

    TXmlSaveDoc(const std::string& version, const std::string& encoding, const std::string& standAlone);
    ~TXmlSaveDoc();
    TXmlSaveDoc(const TXmlSaveDoc&) = delete;
    TXmlSaveDoc& operator=(const TXmlSaveDoc&) = delete;

    // Markup characters replaced by their references, & first.
    static std::string Escape(const std::string& text);

    Node CreateRoot(const std::string& name, const std::string& namespaceUri);
    Node AddNode(Node parent, const std::string& name, const std::string& attrName = {},
                 const std::string& attrValue = {});
    void AddTextNode(Node parent, const std::string& name, const std::string& text,
                     const std::string& attrName = {}, const std::string& attrValue = {});
    // A position in the document to come back to: RollBack drops everything
    // added after MarkPosition, as if it had never been added. Handles made
    // after the mark are invalid afterwards.
    struct Checkpoint {
        long long offset = 0;
        std::vector<Open> open;
        bool startTagOpen = false;
    };
    Checkpoint MarkPosition() const;
    void RollBack(const Checkpoint& mark);

    // Writes the file (created or replaced). The document is complete after
    // this; further additions are logic errors.
    void SaveToFile(const std::string& fileName);

private:
    void closeDownTo(Node parent);
    void startElement(Node parent, const std::string& name, const std::string& attrName,
                      const std::string& attrValue);
    void closeStartTag();
    void put(const std::string& cp932);
    void flushBuffer();
    std::string encode(const std::string& utf8) const;
    void finish();

    std::FILE* spool_ = nullptr;
    std::string buffer_; // written to the spool in large pieces
    long long spooled_ = 0; // bytes already in the spool file
    std::vector<Open> open_; // the open elements, root first
    bool startTagOpen_ = false;
    bool finished_ = false;
    Node lastId_ = 0;
};
