unit Tools;

{ Small helpers shared by the other units of the example. }

interface

const
  Version = '1.0';
  Separator = #13#10;

var
  Verbose: Boolean;

function Clamp(Value, Lo, Hi: Integer): Integer;
function ClampReal(Value, Lo, Hi: Double): Double;
procedure Log(const Msg: string);
procedure LogFmt(const Fmt: string; const Args: array of const);

implementation

uses
  SysUtils;

var
  LineCount: Integer;

function Clamp(Value, Lo, Hi: Integer): Integer;
begin
  if Value < Lo then
    Result := Lo
  else if Value > Hi then
    Result := Hi
  else
    Result := Value;
end;

function ClampReal(Value, Lo, Hi: Double): Double;
begin
  Result := Value;
  if Result < Lo then Result := Lo;
  if Result > Hi then Result := Hi;
end;

procedure Log(const Msg: string);
begin
  Inc(LineCount);
{$IFDEF DEBUG}
  WriteLn('[', LineCount, '] ', Msg);
{$ELSE}
  if Verbose then
    WriteLn(Msg);
{$ENDIF}
end;

procedure LogFmt(const Fmt: string; const Args: array of const);
begin
  Log(Format(Fmt, Args));
end;

initialization
  Verbose := True;
  LineCount := 0;
end.
