#include "providers/common/ClassSwap.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"

#include <algorithm>

namespace tavrin {

RetiredClasses::~RetiredClasses()
{
    std::vector<CSchoolClass*> classes;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        classes.swap(m_classes);
    }
    for (CSchoolClass* schoolClass : classes)
        delete schoolClass;
}

void RetiredClasses::Retire(const CArray<CSchoolClass*, CSchoolClass*>& classes)
{
    for (INT_PTR i = 0; i < classes.GetSize(); ++i)
        classes[i]->BeginClose();
    for (INT_PTR i = 0; i < classes.GetSize(); ++i) {
        classes[i]->TearDown();
        std::lock_guard<std::mutex> lock(m_lock);
        m_classes.push_back(classes[i]);
    }
}

namespace {

std::vector<CSchoolClass*> CurrentClasses(CAccount& account)
{
    std::vector<CSchoolClass*> current;
    for (int i = 0; i < account.GetClassCount(); ++i)
        current.push_back(account.GetClassAt(i));
    return current;
}

bool Holds(const std::vector<CSchoolClass*>& classes, CSchoolClass* schoolClass)
{
    return std::find(classes.begin(), classes.end(), schoolClass) != classes.end();
}

} // namespace

std::vector<CSchoolClass*> ReplaceClasses(CAccount& account, RetiredClasses& retired,
                                          const std::vector<ListedClass>& listed, bool keepListed)
{
    std::vector<CSchoolClass*> objects(listed.size(), nullptr);
    std::vector<bool> made(listed.size(), false);
    CArray<CSchoolClass*, CSchoolClass*> leaving;
    {
        CAccount::ClassesLock lock = account.LockClasses();
        const std::vector<CSchoolClass*> current = CurrentClasses(account);
        std::vector<bool> used(current.size(), false);
        for (size_t k = 0; keepListed && k < listed.size(); ++k) {
            for (size_t j = 0; j < current.size(); ++j) {
                if (!used[j] && current[j]->GetId() == listed[k].id) {
                    used[j] = true;
                    objects[k] = current[j];
                    break;
                }
            }
        }
        CArray<CSchoolClass*, CSchoolClass*> staying;
        for (size_t j = 0; j < current.size(); ++j)
            (used[j] ? staying : leaving).Add(current[j]);
        // The classes that leave are out of the array before their teardown.
        account.ExchangeClasses(staying);
    }
    retired.Retire(leaving);

    for (size_t k = 0; k < listed.size(); ++k) {
        if (objects[k])
            continue;
        CSchoolClass* schoolClass = listed[k].make();
        if (!schoolClass)
            continue;
        schoolClass->CreateStores();
        objects[k] = schoolClass;
        made[k] = true;
    }

    CAccount::ClassesLock lock = account.LockClasses();
    const std::vector<CSchoolClass*> current = CurrentClasses(account);
    CArray<CSchoolClass*, CSchoolClass*> final;
    std::vector<CSchoolClass*> fresh(listed.size(), nullptr);
    for (size_t k = 0; k < listed.size(); ++k) {
        if (!objects[k])
            continue;
        if (made[k]) {
            fresh[k] = objects[k];
        } else {
            // Deleted by the window meanwhile: it stays deleted.
            if (!Holds(current, objects[k]))
                continue;
            if (listed[k].refresh)
                listed[k].refresh(objects[k]);
        }
        final.Add(objects[k]);
    }
    // A class added meanwhile by someone else is not dropped.
    for (CSchoolClass* schoolClass : current)
        if (!Holds(objects, schoolClass))
            final.Add(schoolClass);
    account.ExchangeClasses(final);
    return fresh;
}

} // namespace tavrin
