#include "chat/chat_dispatch.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "chat/chat_messages.h"
#include "chat/chat_parsers.h"
#include "chat/chat_wire.h"
#include "platform/debug_sink.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv::chat {
namespace {

GMEntry* FindAgent(std::vector<GMEntry>& agents, std::uint64_t id) {
  const auto it =
      std::find_if(agents.begin(), agents.end(), [&](const GMEntry& entry) { return entry.id == id; });
  return it == agents.end() ? nullptr : &*it;
}

void HandleAgentList(std::string_view body, std::vector<GMEntry>& agents) {
  OutputDebugString("****开始解析GM列表*****\r\n");
  // Appended, never merged: a list that arrives twice on one connection lists everybody twice.
  for (GMEntry& entry : ParseAgentList(body)) agents.push_back(std::move(entry));
}

void HandleLocalAgents(std::string_view body, std::vector<GMEntry>& agents) {
  OutputDebugString("****开始解析本服GM*****\r\n");
  for (const std::uint64_t id : ParseLocalAgents(body)) {
    if (GMEntry* entry = FindAgent(agents, id)) entry->local = 1;
  }
}

void HandleAgentStates(std::string_view body, std::vector<GMEntry>& agents) {
  OutputDebugString("****开始解析GM状态*****\r\n");
  for (const AgentState& state : ParseAgentStates(body)) {
    if (GMEntry* entry = FindAgent(agents, state.agent_id)) entry->state = state.state;
  }
}

void HandleOpenChatResult(std::string_view body, std::vector<GMEntry>& agents, HWND target) {
  OutputDebugString("****开始解析开启对话返回结果*****\r\n");
  const auto answer = ParseOpenChatResult(body);
  // A refusal, an id of 0 or below, or an agent the list does not know opens nothing.
  if (!answer || answer->result != 0 || static_cast<std::int64_t>(answer->agent_id) <= 0) return;
  const GMEntry* entry = FindAgent(agents, answer->agent_id);
  if (entry == nullptr || target == nullptr) return;
  PostMessage(target, kMsgChatAccepted, 0, std::make_unique<std::uint64_t>(entry->id));
}

void HandleChatText(std::string_view body, HWND target) {
  OutputDebugString("****开始解析聊天内容*****\r\n");
  auto message = ParseChatText(body);
  if (!message || target == nullptr) return;
  PostMessage(target, kMsgChatText, 0, std::make_unique<ChatTextMessage>(std::move(*message)));
}

void HandleAgentOffline(std::string_view body) {
  OutputDebugString("****开始解析GM离线内容*****\r\n");
  const auto id = ParseAgentOffline(body);
  if (!id) return;
  // Logged only: the entry keeps its state until the next state list.
  char line[64];
  std::snprintf(line, sizeof line, "***********离线GM,ID:%d*************",
                static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(*id))));
  OutputDebugString(line);
}

}  // namespace

void HandleFrame(const FrameView& frame, std::vector<GMEntry>& agents, HWND target) {
  switch (frame.type) {
    case static_cast<std::int8_t>(FrameType::kLoginResult):
      if (ParseLoginResult(frame.body)) OutputDebugString("*****登录成功************\r\n");
      break;
    case static_cast<std::int8_t>(FrameType::kGameInfo):
      // Read for completeness and dropped: nothing in the launcher shows it.
      OutputDebugString("****开始解析游戏信息*****\r\n");
      ParseGameInfo(frame.body);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentList):
      HandleAgentList(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kLocalAgents):
      HandleLocalAgents(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentStates):
      HandleAgentStates(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kOpenChat):
      HandleOpenChatResult(frame.body, agents, target);
      break;
    case static_cast<std::int8_t>(FrameType::kChatText):
    case static_cast<std::int8_t>(FrameType::kChatStart):
      HandleChatText(frame.body, target);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentOffline):
      HandleAgentOffline(frame.body);
      break;
    default:
      break;  // types the launcher does not know, its own heartbeat included
  }
}

}  // namespace qrv::chat
