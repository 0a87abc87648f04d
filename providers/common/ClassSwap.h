// How a class-list pass puts a new class list in place of an account's
// classes, shared by the providers. The classes that leave are taken out of
// the array under the account's class lock and torn down; their objects stay
// allocated until the account goes, so an event still queued for one never
// names a freed (or a newer) class. New classes load their folders only
// after that, so no class that left is at work in a folder they read.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

#include <functional>
#include <mutex>
#include <vector>

class CAccount;
class CSchoolClass;

namespace tavrin {

// The classes an account let go of.
class RetiredClasses {
public:
    RetiredClasses() = default;
    // The owning account closes before its members go, so no class-list
    // pass is still retiring classes then.
    ~RetiredClasses();
    RetiredClasses(const RetiredClasses&) = delete;
    RetiredClasses& operator=(const RetiredClasses&) = delete;

    // Starts the teardown of all, then tears each down (its stores save
    // their files) and keeps it.
    void Retire(const CArray<CSchoolClass*, CSchoolClass*>& classes);

private:
    std::mutex m_lock;
    std::vector<CSchoolClass*> m_classes;
};

// One class of the new list.
struct ListedClass {
    CString id;
    // A new object for the entry with its identity set; the swap creates its
    // stores.
    std::function<CSchoolClass*()> make;
    // Brings a class the account keeps up to date; not used when classes
    // are never kept.
    std::function<void(CSchoolClass*)> refresh;
};

// Replaces the account's classes by listed, in list order. With keepListed a
// class the account has under a listed id keeps its object (and its running
// work); otherwise every class is new. A kept class the window deleted
// meanwhile stays deleted, and a class added meanwhile by someone else stays.
// Returns, for each listed class, the object made for it; null where a class
// was kept or none could be made.
std::vector<CSchoolClass*> ReplaceClasses(CAccount& account, RetiredClasses& retired,
                                          const std::vector<ListedClass>& listed, bool keepListed);

} // namespace tavrin
