// A doubly linked list of untyped pointers whose nodes are allocated in blocks
// and reused through a free list, and a typed view of it.
#pragma once

#include <cstddef>

struct __POSITION;
using POSITION = __POSITION*;

class CPtrList {
public:
    explicit CPtrList(int nBlockSize = 10);
    ~CPtrList();
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    POSITION AddTail(void* element);
    // Drops every node; the pointed-to elements are the caller's.
    void RemoveAll();

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pHead); }
    // The element at `pos`; moves `pos` to the next node (null past the tail).
    void*& GetNext(POSITION& pos) const;

private:
    struct Node {
        Node* pNext;
        Node* pPrev;
        void* data;
    };
    struct Block {
        Block* pNext;
    };

    Node* NewNode();

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    Node* m_pFree = nullptr;
    Block* m_pBlocks = nullptr;
    int m_nCount = 0;
    int m_nBlockSize;
};

// CPtrList holding pointers of one type.
template <class T>
class CTypedPtrList : public CPtrList {
public:
    using CPtrList::CPtrList;
    POSITION AddTail(T* element) { return CPtrList::AddTail(element); }
    T* GetNext(POSITION& pos) const { return static_cast<T*>(CPtrList::GetNext(pos)); }

    // Visits every element from head to tail, null entries included.
    template <class F>
    void ForEach(F&& visit) const {
        for (POSITION pos = GetHeadPosition(); pos != nullptr;) visit(GetNext(pos));
    }

    // Deletes every element and empties the list, for lists that own theirs.
    void DeleteAll() {
        ForEach([](T* element) { delete element; });
        RemoveAll();
    }
};
