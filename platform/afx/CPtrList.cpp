#include "afx/CPtrList.h"

#include <new>

CPtrList::CPtrList(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CPtrList::~CPtrList() { RemoveAll(); }

CPtrList::Node* CPtrList::NewNode() {
    if (m_pFree == nullptr) {
        // One allocation holds the block header and m_nBlockSize nodes.
        const std::size_t bytes = sizeof(Node) * (static_cast<std::size_t>(m_nBlockSize) + 1);
        auto* block = static_cast<Block*>(::operator new(bytes));
        block->pNext = m_pBlocks;
        m_pBlocks = block;
        Node* nodes = reinterpret_cast<Node*>(block) + 1;
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            nodes[i].pNext = m_pFree;
            m_pFree = &nodes[i];
        }
    }
    Node* node = m_pFree;
    m_pFree = m_pFree->pNext;
    return node;
}

POSITION CPtrList::AddTail(void* element) {
    Node* node = NewNode();
    node->data = element;
    node->pNext = nullptr;
    node->pPrev = m_pTail;
    if (m_pTail != nullptr) {
        m_pTail->pNext = node;
    } else {
        m_pHead = node;
    }
    m_pTail = node;
    ++m_nCount;
    return reinterpret_cast<POSITION>(node);
}

void CPtrList::RemoveAll() {
    while (m_pBlocks != nullptr) {
        Block* next = m_pBlocks->pNext;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pHead = m_pTail = m_pFree = nullptr;
    m_nCount = 0;
}

void*& CPtrList::GetNext(POSITION& pos) const {
    Node* node = reinterpret_cast<Node*>(pos);
    pos = reinterpret_cast<POSITION>(node->pNext);
    return node->data;
}
