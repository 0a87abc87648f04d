// The verification stamp of the two stores whose posts carry a code.
#include "providers/chinaren/AuthCode.h"
#include "providers/chinaren/MessageStoreChinaRen.h"
#include "providers/chinaren/PictureStoreChinaRen.h"

CString CMessageStoreChinaRen::GetAuthTime()
{
    return tavrin::chinaren::AuthStamp();
}

CString CPictureStoreChinaRen::GetAuthTime()
{
    return tavrin::chinaren::AuthStamp();
}
