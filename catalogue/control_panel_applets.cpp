#include "catalogue/control_panel_applets.h"

#include <array>

namespace dav::catalogue {
namespace {

constexpr auto kXPApplets = std::to_array<XPApplet>({
    {"관리 도구", "관리도구.cpl"},
    {"내게 필요한 옵션", "access.cpl"},
    {"프로그램 추가/제거", "appwiz.cpl"},
    {"블루투스 장치 설정", "bthprops.cpl"},
    {"적외선포트 설정", "irprops.cpl"},
    {"디스플레이 등록 정보", "desk.cpl"},
    {"Windows 방화벽", "Firewall.cpl"},
    {"하드웨어 추가 마법사", "hdwwiz.cpl"},
    {"인터넷 등록 정보", "inetcpl.cpl"},
    {"국가 및 언어 옵션", "intl.cpl"},
    {"게임컨트롤러", "joy.cpl"},
    {"마우스 등록 정보", "main.cpl"},
    {"사운드 및 오디오 장치 등록 정보", "mmsys.cpl"},
    {"네트워크 연결", "ncpa.cpl"},
    {"무선 네트워크 설정 마법사", "netsetup.cpl"},
    {"사용자 계정", "nusrmgr.cpl"},
    {"NVIDIA Control Panel View Selection", "nvcpl.cpl"},
    {"NVIDIA nView Desktop Manager", "nvtuicpl.cpl"},
    {"ODBC 데이터 원본 관리자", "odbccp32.cpl"},
    {"전원 옵션 등록 정보", "powercfg.cpl"},
    {"시스템 등록 정보", "sysdm.cpl"},
    {"위치 정보", "telephon.cpl"},
    {"날짜 및 시간 등록 정보", "timedate.cpl"},
    {"Windows 보안 센터", "wscui.cpl"},
    {"자동 업데이트", "wuaucpl.cpl"},
    {"음성 속성", "sapi.cpl"},
    {"메일 설정", "mlcfg32.cpl"},
    {"Sound Effect Manager", "ALSNDMGR.CPL"},
    {"네트워크 게이트웨이", "nwc.cpl"},
    {"rtsndmgr.cpl", "rtsndmgr.cpl"},
});

constexpr auto kWin7Applets = std::to_array<Win7Applet>({
    {"BitLocker 드라이브 암호화", "BitLocker 드라이브 암호화", true},
    {"RemoteApp 및 데스크톱 연결", "RemoteApp 및 데스크톱 연결", true},
    {"Windows Anytime Upgrade", "{BE122A0E-4503-11DA-8BDE-F66BAD1E3F3A}", false},
    {"Windows CardSpace", "{78CB147A-98EA-4AA6-B0DF-C8681F69341C}", false},
    {"Windows Defender", "Windows Defender", true},
    {"Windows Update", "Windows Update", true},
    {"Windows 방화벽", "{4026492F-2F69-46B8-B9BF-5654FC07E423}", false},
    {"개인설정", "{ED834ED6-4B5A-4bfe-8F11-A626DCB6A921}", false},
    {"관리 도구", "{D20EA4E1-3957-11d2-A40B-0C5020524153}", false},
    {"관리 센터", "관리 센터", true},
    {"국가 및 언어", "국가 및 언어", true},
    {"글꼴", "글꼴", true},
    {"기본 프로그램", "{17cd9488-1228-4b2f-88ce-4298e93e0966}", false},
    {"날짜 및 시간", "날짜 및 시간", true},
    {"네트워크 및 공유 센터", "{8E908FC9-BECC-40f6-915B-F4CA0E70D03D}", false},
    {"동기화 센터", "{9C73F5E5-7AE7-4E32-A8E8-8D23B85255BF}", false},
    {"디스플레이", "디스플레이", true},
    {"마우스", "마우스", true},
    {"문제 해결", "문제 해결", true},
    {"바탕 화면 가젯", "{37efd44d-ef8d-41b1-940d-96973a50e9e0}", false},
    {"백업 및 복원", "{B98A2BEA-7D42-4558-8BD1-832F41BAC6FD}", false},
    {"복구", "복구", true},
    {"사용자 계정", "사용자 계정", true},
    {"색 관리", "색 관리", true},
    {"색인 옵션", "색인 옵션", true},
    {"성능 정보 및 도구", "성능 정보 및 도구", true},
    {"소리", "소리", true},
    {"시스템", "{BB06C0E4-D293-4f75-8A90-CB05B6477EEE}", false},
    {"시작", "{CB1B7F8C-C50A-4176-B604-9E24DEE8D4D1}", false},
    {"알림 영역 아이콘", "{05d7b0f4-2121-4eff-bf6b-ed3f69b894d9}", false},
    {"위치 및 기타 센서", "위치 및 기타 센서", true},
    {"음성 인식", "{58E3C745-D971-4081-9034-86E34B30836A}", false},
    {"인터넷 옵션", "{A3DD4F92-658A-410F-84FD-6FBBBEF2FFFE}", false},
    {"자격 증명 관리자", "자격 증명 관리자", true},
    {"자녀보호", "{96AE8D84-A250-4520-95A5-A47A7E3C548B}", false},
    {"자동 실행", "자동 실행", true},
    {"작업 표시줄 및 시작 메뉴", "{0DF44EAA-FF21-4412-828E-260A8728E7F1}", false},
    {"장치 관리자", "{74246bfc-4c96-11d0-abef-0020af6b0b7a}", false},
    {"장치 및 프린터", "{A8A91A66-3A7D-4424-8D24-04E180695C7A}", false},
    {"전원 옵션", "전원 옵션", true},
    {"전화 및 모뎀", "전화 및 모뎀", true},
    {"접근성 센터", "{D555645E-D4F8-4c29-A827-D93C859C4F2A}", false},
    {"키보드", "키보드", true},
    {"폴더 옵션", "{6DFD7C5C-2451-11d3-A299-00C04F8EF6AF}", false},
    {"프로그램 및 기능", "{7b81be6a-ce2b-4676-a29e-eb907a5126c5}", false},
    {"홈 그룹", "홈 그룹", true},
});

}  // namespace

std::span<const XPApplet> XPApplets() {
  return kXPApplets;
}

std::span<const Win7Applet> Win7Applets() {
  return kWin7Applets;
}

}  // namespace dav::catalogue
