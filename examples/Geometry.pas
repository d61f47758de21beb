unit Geometry;

(* Points and distances. Uses the helpers of Tools only in its
   implementation part. *)

interface

type
  TPoint2 = record
    X, Y: Double;
  end;

function MakePoint(X, Y: Double): TPoint2;
function Distance(const A, B: TPoint2): Double;
procedure Describe(const P: TPoint2);

implementation

uses
  Tools;

function MakePoint(X, Y: Double): TPoint2;
begin
  Result.X := X;
  Result.Y := Y;
end;

function Distance(const A, B: TPoint2): Double;
var
  DX, DY: Double;
begin
  DX := A.X - B.X;
  DY := A.Y - B.Y;
  Result := Sqrt(DX * DX + DY * DY);
end;

procedure Describe(const P: TPoint2);
begin
  // A unit-qualified call and a plain cross-unit call.
  Tools.LogFmt('(%.2f, %.2f)', [P.X, P.Y]);
  if Distance(P, MakePoint(0, 0)) > 1.0e3 then
    Log('far away');
end;

end.
