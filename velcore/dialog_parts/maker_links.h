#pragma once
// The maker's web site and support mail address, shared by the About box and the hall of fame.
constexpr wchar_t kMakerWebHost[] = L"www.velmora-games.example";
constexpr wchar_t kMakerWebAddress[] = L"http://www.velmora-games.example/";
constexpr wchar_t kMakerSupportMail[] = L"support@velmora-games.example";
